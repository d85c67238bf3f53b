// The PCX writer against the project's own decoder and the format's header rules, on made-up
// pictures and on real ones from the sample corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "archive/pcx_decoder.h"
#include "tools/standin/pcx_writer.h"

namespace morvane::standin {
namespace {

unsigned u16_at(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

IndexedImage decode(const std::vector<std::uint8_t>& file, int w, int h) {
  IndexedImage out(w, h);
  decode_pcx(file, out.pixels, out.palette);
  return out;
}

// Walks the run-length data of one picture and checks the writer's own promises: runs of 1..63
// that never cross a line end, and bytes of 0xC0 or more only inside runs.
void expect_clean_runs(const std::vector<std::uint8_t>& file, int w, int h) {
  std::size_t at = 128;
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      ASSERT_LT(at, file.size());
      const std::uint8_t b = file[at++];
      int n = 1;
      if (b >= 0xC0) {
        n = b & 0x3F;
        ASSERT_GE(n, 1) << "empty run at line " << y;
        ++at;
      }
      x += n;
    }
    ASSERT_EQ(x, w) << "a run crosses the end of line " << y;
  }
  EXPECT_EQ(file[at], 0x0C);
  EXPECT_EQ(file.size(), at + 1 + 768);
}

TEST(PcxWriter, HeaderDescribesAnEightBitOnePlanePicture) {
  IndexedImage img(10, 4);
  const auto file = encode_pcx(img);
  EXPECT_EQ(file[0], 10);
  EXPECT_EQ(file[1], 5);
  EXPECT_EQ(file[2], 1);
  EXPECT_EQ(file[3], 8);
  EXPECT_EQ(u16_at(file, 4), 0u);
  EXPECT_EQ(u16_at(file, 6), 0u);
  EXPECT_EQ(u16_at(file, 8), 9u);  // window: inclusive corners
  EXPECT_EQ(u16_at(file, 10), 3u);
  EXPECT_EQ(file[65], 1);
  EXPECT_EQ(u16_at(file, 66), 10u);
}

TEST(PcxWriter, RoundTripsEveryByteValueRunsAndPalette) {
  IndexedImage img(256, 6);
  for (int x = 0; x < 256; ++x) {
    img.at(x, 0) = static_cast<std::uint8_t>(x);         // every value once, markers included
    img.at(x, 1) = 0xC5;                                 // one long run of a marker value
    img.at(x, 2) = static_cast<std::uint8_t>(x / 70);    // runs of 70: split at 63
    img.at(x, 3) = static_cast<std::uint8_t>(x & 1 ? 0xFF : 0x3F);
    img.at(x, 4) = 0;
    img.at(x, 5) = static_cast<std::uint8_t>(255 - x);
  }
  for (int i = 0; i < 768; ++i) img.palette[i] = static_cast<std::uint8_t>(i * 7);
  const auto file = encode_pcx(img);
  expect_clean_runs(file, 256, 6);
  const IndexedImage back = decode(file, 256, 6);
  EXPECT_EQ(back.pixels, img.pixels);
  EXPECT_EQ(back.palette, img.palette);
  EXPECT_TRUE(std::equal(file.end() - 768, file.end(), img.palette.begin()));
}

TEST(PcxWriter, RefusesWhatTheReadersCannotTake) {
  EXPECT_THROW(encode_pcx(IndexedImage(3, 2)), std::invalid_argument);  // odd width needs padding
  EXPECT_THROW(encode_pcx(IndexedImage(0, 2)), std::invalid_argument);
  IndexedImage short_pixels(4, 4);
  short_pixels.pixels.pop_back();
  EXPECT_THROW(encode_pcx(short_pixels), std::invalid_argument);
}

std::vector<std::uint8_t> read(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Real 320 x 200 pictures drawn by other programs: decoded, written again, decoded again.
TEST(PcxWriter, RewritesRealPicturesFaithfully) {
  const std::filesystem::path dir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "pcx";
  if (!std::filesystem::exists(dir / "allegro.pcx")) GTEST_SKIP() << "sample pictures not present";
  for (const char* name : {"allegro.pcx", "mysha.pcx"}) {
    const auto original = read(dir / name);
    const IndexedImage img = decode(original, 320, 200);
    const auto rewritten = encode_pcx(img);
    expect_clean_runs(rewritten, 320, 200);
    const IndexedImage back = decode(rewritten, 320, 200);
    EXPECT_EQ(back.pixels, img.pixels) << name;
    EXPECT_EQ(back.palette, img.palette) << name;
    // Same coding scheme as the originals, so about the same size.
    EXPECT_LE(rewritten.size(), original.size() + original.size() / 10) << name;
  }
}

}  // namespace
}  // namespace morvane::standin
