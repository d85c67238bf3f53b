#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/frame_fit.h"
#include "platform/sdl_pixel_formats.h"
#include "screen/row_converters.h"

namespace morvane {
namespace {

TEST(ConverterForSdlFormat, EachSupportedLayoutGetsItsConverter) {
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_RGB888), &convert_copy32);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_ARGB8888), &convert_copy32);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_BGR888), &convert_swap32);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_ABGR8888), &convert_swap32);
  // Byte-array formats: BGR24 keeps the source's byte order, RGB24 reverses it.
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_BGR24), &convert_pack24);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_RGB24), &convert_swap24);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_RGB565), &convert_565);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_BGR565), &convert_565_swapped);
  // SDL calls these 15-bit; they are stored in 16.
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_RGB555), &convert_555);
  EXPECT_EQ(converter_for_sdl_format(SDL_PIXELFORMAT_BGR555), &convert_555_swapped);
}

TEST(ConverterForSdlFormat, OtherFormatsHaveNone) {
  for (std::uint32_t format : {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_INDEX1LSB, SDL_PIXELFORMAT_RGB444,
                               SDL_PIXELFORMAT_ARGB4444, SDL_PIXELFORMAT_RGB332, SDL_PIXELFORMAT_RGBA8888,
                               SDL_PIXELFORMAT_ARGB2101010, SDL_PIXELFORMAT_YV12, SDL_PIXELFORMAT_NV12,
                               SDL_PIXELFORMAT_UNKNOWN}) {
    EXPECT_EQ(converter_for_sdl_format(format), nullptr) << SDL_GetPixelFormatName(format);
  }
}

TEST(ChooseTextureFormat, PrefersPlain32BitThenTheFirstConvertible) {
  const std::array<std::uint32_t, 3> gl = {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_RGB888};
  EXPECT_EQ(choose_texture_format(gl), SDL_PIXELFORMAT_RGB888);
  const std::array<std::uint32_t, 2> bgr = {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_BGR888};
  EXPECT_EQ(choose_texture_format(bgr), SDL_PIXELFORMAT_BGR888);
  const std::array<std::uint32_t, 3> video = {SDL_PIXELFORMAT_YV12, SDL_PIXELFORMAT_RGBA8888, SDL_PIXELFORMAT_RGB565};
  EXPECT_EQ(choose_texture_format(video), SDL_PIXELFORMAT_RGB565);
  const std::array<std::uint32_t, 1> indexed = {SDL_PIXELFORMAT_INDEX8};
  EXPECT_EQ(choose_texture_format(indexed), SDL_PIXELFORMAT_RGB888);
  EXPECT_EQ(choose_texture_format({}), SDL_PIXELFORMAT_RGB888);
}

void expect_rect(const FrameRect& r, int x, int y, int w, int h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.width, w);
  EXPECT_EQ(r.height, h);
}

TEST(FitFrame, LargestCentredCopyOfTheSameShape) {
  expect_rect(fit_frame(640, 480, 640, 480), 0, 0, 640, 480);
  expect_rect(fit_frame(1280, 960, 640, 480), 0, 0, 1280, 960);
  expect_rect(fit_frame(1280, 1024, 640, 480), 0, 32, 1280, 960);   // bars above and below
  expect_rect(fit_frame(1920, 1080, 640, 480), 240, 0, 1440, 1080);  // bars left and right
  expect_rect(fit_frame(800, 480, 640, 480), 80, 0, 640, 480);
  expect_rect(fit_frame(641, 480, 640, 480), 0, 0, 640, 480);        // odd spare column stays left
  expect_rect(fit_frame(3, 1000, 640, 480), 0, 499, 3, 2);
}

TEST(FitFrame, NoAreaGivesAnEmptyRectangle) {
  expect_rect(fit_frame(0, 480, 640, 480), 0, 0, 0, 0);
  expect_rect(fit_frame(640, -1, 640, 480), 0, 0, 0, 0);
  expect_rect(fit_frame(640, 480, 0, 480), 0, 0, 0, 0);
  // Huge outputs must not overflow the cross-multiplication.
  expect_rect(fit_frame(2000000000, 2000000000, 640, 480), 0, 250000000, 2000000000, 1500000000);
}

}  // namespace
}  // namespace morvane
