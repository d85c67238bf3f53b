// Writes each kind of PNG and reads it back through libpng's own reader.
#include "tools/png/png_writer.h"

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

}  // namespace
}  // namespace morvane
