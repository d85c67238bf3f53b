#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "platform/frame_fit.h"
#include "platform/sdl_pixel_formats.h"
#include "screen/row_converters.h"

namespace morvane {
namespace {

TEST(SdlPixelFormats, EachLayoutGetsItsConverterAndTheTextureFormatIsChosenByThem) {
  const std::pair<std::uint32_t, RowConverter> known[] = {
      {SDL_PIXELFORMAT_RGB888, convert_copy32}, {SDL_PIXELFORMAT_ARGB8888, convert_copy32},
      {SDL_PIXELFORMAT_BGR888, convert_swap32}, {SDL_PIXELFORMAT_ABGR8888, convert_swap32},
      // Byte-array formats: BGR24 keeps the source's byte order, RGB24 reverses it.
      {SDL_PIXELFORMAT_BGR24, convert_pack24},  {SDL_PIXELFORMAT_RGB24, convert_swap24},
      {SDL_PIXELFORMAT_RGB565, convert_565},    {SDL_PIXELFORMAT_BGR565, convert_565_swapped},
      // SDL calls these 15-bit; they are stored in 16.
      {SDL_PIXELFORMAT_RGB555, convert_555},    {SDL_PIXELFORMAT_BGR555, convert_555_swapped},
      {SDL_PIXELFORMAT_INDEX8, nullptr},        {SDL_PIXELFORMAT_RGB444, nullptr},
      {SDL_PIXELFORMAT_RGBA8888, nullptr},      {SDL_PIXELFORMAT_ARGB2101010, nullptr},
      {SDL_PIXELFORMAT_YV12, nullptr},          {SDL_PIXELFORMAT_UNKNOWN, nullptr}};
  for (const auto& [format, converter] : known)
    EXPECT_EQ(converter_for_sdl_format(format), converter) << SDL_GetPixelFormatName(format);

  // Plain 32-bit first, then the first convertible one, else RGB888 for SDL to convert.
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

TEST(FitFrame, LargestCentredCopyOfTheSameShape) {
  struct Case {
    int out_w, out_h, frame_w, frame_h, x, y, w, h;
  };
  for (const Case& c : {Case{640, 480, 640, 480, 0, 0, 640, 480}, Case{1280, 960, 640, 480, 0, 0, 1280, 960},
                        Case{1280, 1024, 640, 480, 0, 32, 1280, 960},   // bars above and below
                        Case{1920, 1080, 640, 480, 240, 0, 1440, 1080},  // bars left and right
                        Case{641, 480, 640, 480, 0, 0, 640, 480},        // odd spare column stays left
                        Case{3, 1000, 640, 480, 0, 499, 3, 2},
                        Case{0, 480, 640, 480, 0, 0, 0, 0}, Case{640, -1, 640, 480, 0, 0, 0, 0},  // no area
                        Case{640, 480, 0, 480, 0, 0, 0, 0},
                        // Huge outputs must not overflow the cross-multiplication.
                        Case{2000000000, 2000000000, 640, 480, 0, 250000000, 2000000000, 1500000000}}) {
    const FrameRect r = fit_frame(c.out_w, c.out_h, c.frame_w, c.frame_h);
    EXPECT_EQ((std::array{r.x, r.y, r.width, r.height}), (std::array{c.x, c.y, c.w, c.h})) << c.out_w << "x" << c.out_h;
  }
}

}  // namespace
}  // namespace morvane
