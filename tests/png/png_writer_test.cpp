// Writes each kind of PNG and reads it back through libpng's own reader.
#include "tools/png/png_writer.h"
#include "tools/png/png_frame_encoder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace morvane {
namespace {

// Reads back as 8-bit RGB, whatever the stored colour type, and gives the stored format.
std::vector<std::uint8_t> read_rgb(const std::filesystem::path& file, png_uint_32* format) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_file(&image, file.c_str())) << image.message;
  *format = image.format;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
  return rgb;
}

TEST(PngWriter, EachKindReadsBackAsWrittenAndBadInputThrows) {
  const auto file = std::filesystem::temp_directory_path() / ("morvane_png_test_" + std::to_string(getpid()) + ".png");
  png_uint_32 format = 0;
  const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 250, 251, 252, 7, 8, 9};
  for (PngCompression level : {PngCompression::kSmall, PngCompression::kFast}) {
    write_png_rgb(file, 3, 2, rgb, level);
    EXPECT_EQ(read_rgb(file, &format), rgb);
  }

  std::array<std::uint8_t, 768> palette{};
  for (std::size_t i = 0; i < 768; ++i) palette[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
  write_png_indexed(file, 2, 2, std::vector<std::uint8_t>{0, 1, 200, 255}, palette);
  const auto indexed = read_rgb(file, &format);
  EXPECT_TRUE(format & PNG_FORMAT_FLAG_COLORMAP);
  for (std::size_t p = 0; p < 4; ++p)
    EXPECT_TRUE(std::equal(&indexed[3 * p], &indexed[3 * p + 3], &palette[3 * std::array{0, 1, 200, 255}[p]])) << p;

  write_png_grey(file, 3, 1, std::vector<std::uint8_t>{0, 128, 255});
  EXPECT_EQ(read_rgb(file, &format), (std::vector<std::uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
  EXPECT_EQ(format & PNG_FORMAT_FLAG_COLOR, 0u);  // stored as one channel
  std::filesystem::remove(file);

  const std::vector<std::uint8_t> two = {1, 2};
  EXPECT_THROW(write_png_grey(file, 3, 1, two), std::runtime_error);
  EXPECT_THROW(write_png_grey(file, 0, 1, two), std::runtime_error);
  EXPECT_THROW(write_png_indexed(file, 1, 1, two, two), std::runtime_error);
  EXPECT_THROW(write_png_grey("/nonexistent-dir/x.png", 1, 1, two), std::runtime_error);
}

// The capture's encoder: repeated rows, rows whose "sub" bytes wrap below zero, single-pixel
// rows and ignored top bytes all read back exactly, frame after frame from one encoder.
TEST(PngFrameEncoder, FramesReadBackExactlyAndBadSizesThrow) {
  const auto file = std::filesystem::temp_directory_path() / ("morvane_png_frame_" + std::to_string(getpid()) + ".png");
  PngFrameEncoder encoder;
  struct Case {
    int width, height;
    std::vector<std::uint32_t> pixels;
  };
  std::vector<std::uint32_t> doubled;
  for (std::uint32_t y = 0; y < 6; ++y)
    for (std::uint32_t x = 0; x < 8; ++x) doubled.push_back(0xFF000000u * (x & 1) + (y / 2) * 0x402010u + (x / 2) * 0x0F0F0Fu);
  const std::vector<Case> cases = {
      {8, 6, doubled},
      {3, 2, {0x00FFFFFF, 0x00000001, 0x00FF0000, 0x00FFFFFF, 0x00000001, 0x00FF0001}},
      {1, 3, {0x00123456, 0x00123456, 0xAB000000}},
  };
  for (const Case& c : cases) {
    encoder.write(file, c.width, c.height, c.pixels);
    png_uint_32 format = 0;
    std::vector<std::uint8_t> expected;
    for (std::uint32_t p : c.pixels)
      expected.insert(expected.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
    EXPECT_EQ(read_rgb(file, &format), expected) << c.width << " x " << c.height;
    EXPECT_EQ(format, PNG_FORMAT_RGB);
  }
  std::filesystem::remove(file);

  const std::vector<std::uint32_t> four(4);
  EXPECT_THROW(encoder.encode(3, 2, four), std::invalid_argument);
  EXPECT_THROW(encoder.encode(0, 1, four), std::invalid_argument);
  EXPECT_THROW(encoder.encode(1 << 20, 1 << 20, four), std::invalid_argument);
  EXPECT_THROW(encoder.write("/nonexistent-dir/x.png", 2, 2, four), std::runtime_error);
}

}  // namespace
}  // namespace morvane
