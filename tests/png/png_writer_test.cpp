// Writes each kind of PNG and reads it back through libpng's own reader.
#include "tools/png/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace morvane {
namespace {

struct Decoded {
  png_uint_32 width = 0, height = 0, format = 0;
  std::vector<std::uint8_t> rgb;
};

// Reads back as 8-bit RGB, whatever the stored colour type, and remembers the stored format.
Decoded read_rgb(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  EXPECT_TRUE(png_image_begin_read_from_file(&image, file.string().c_str())) << image.message;
  Decoded d{image.width, image.height, image.format, {}};
  image.format = PNG_FORMAT_RGB;
  d.rgb.resize(PNG_IMAGE_SIZE(image));
  EXPECT_TRUE(png_image_finish_read(&image, nullptr, d.rgb.data(), 0, nullptr)) << image.message;
  return d;
}

class PngWriterTest : public ::testing::Test {
 protected:
  std::filesystem::path file_ = std::filesystem::temp_directory_path() /
                                ("morvane_png_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
  void TearDown() override { std::filesystem::remove(file_); }
};

TEST_F(PngWriterTest, RgbRoundTrip) {
  const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 250, 251, 252, 7, 8, 9};
  write_png_rgb(file_, 3, 2, rgb);
  const Decoded d = read_rgb(file_);
  EXPECT_EQ(d.width, 3u);
  EXPECT_EQ(d.height, 2u);
  EXPECT_EQ(d.rgb, rgb);
}

TEST_F(PngWriterTest, IndexedKeepsPaletteAndIndices) {
  std::array<std::uint8_t, 768> palette{};
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<std::uint8_t>(i);
    palette[3 * i + 1] = static_cast<std::uint8_t>(255 - i);
    palette[3 * i + 2] = static_cast<std::uint8_t>(i * 7);
  }
  const std::vector<std::uint8_t> indices = {0, 1, 200, 255};
  write_png_indexed(file_, 2, 2, indices, palette);
  const Decoded d = read_rgb(file_);
  EXPECT_TRUE(d.format & PNG_FORMAT_FLAG_COLORMAP);
  ASSERT_EQ(d.rgb.size(), 12u);
  for (std::size_t p = 0; p < 4; ++p)
    for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(d.rgb[3 * p + c], palette[3 * indices[p] + c]);
}

TEST_F(PngWriterTest, GreyIsStoredAsOneChannel) {
  const std::vector<std::uint8_t> grey = {0, 128, 255};
  write_png_grey(file_, 3, 1, grey);
  const Decoded d = read_rgb(file_);
  EXPECT_EQ(d.format & PNG_FORMAT_FLAG_COLOR, 0u);
  EXPECT_EQ(d.rgb, (std::vector<std::uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
}

TEST_F(PngWriterTest, BadInputThrows) {
  const std::vector<std::uint8_t> two = {1, 2};
  EXPECT_THROW(write_png_grey(file_, 3, 1, two), std::runtime_error);
  EXPECT_THROW(write_png_grey(file_, 0, 1, two), std::runtime_error);
  EXPECT_THROW(write_png_indexed(file_, 1, 1, two, two), std::runtime_error);
  EXPECT_THROW(write_png_grey("/nonexistent-dir/x.png", 1, 1, two), std::runtime_error);
}

}  // namespace
}  // namespace morvane
