// PCX decoding: the real 8-bit pictures against an independent decoder's digests, the
// run-length rules, and load_picture through an archive.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "archive/archive.h"
#include "archive/pcx_decoder.h"
#include "tests/archive/testdata.h"
#include "tools/rarpack/rar_writer.h"

namespace morvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Palette = std::array<std::uint8_t, 768>;

class RealPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = test::read_manifest(test::testdata_dir() / "pcx" / "MANIFEST.tsv");
    if (rows_.empty()) GTEST_SKIP() << "no PCX test data";
  }
  static Bytes file(const std::string& name) { return test::read_file(test::testdata_dir() / "pcx" / name); }
  std::vector<test::Row> rows_;
};

TEST_F(RealPictures, EightBitPicturesMatchAnIndependentDecoder) {
  int checked = 0;
  for (const test::Row& row : rows_) {
    if (row.at("pil_index_sha256").size() != 64 || row.at("bpp") != "8" || row.at("planes") != "1") continue;
    SCOPED_TRACE(row.at("file"));
    const std::size_t width = std::stoul(row.at("width")), height = std::stoul(row.at("height"));
    const std::size_t stride = std::stoul(row.at("bytes_per_line"));
    Bytes pixels(stride * height);
    Palette palette{};
    decode_pcx(file(row.at("file")), pixels, palette);
    // Rows carry bytes_per_line bytes; the digest covers the visible width only.
    Bytes visible;
    for (std::size_t y = 0; y < height; ++y)
      visible.insert(visible.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * stride),
                     pixels.begin() + static_cast<std::ptrdiff_t>(y * stride + width));
    EXPECT_EQ(test::sha256_hex(visible), row.at("pil_index_sha256"));
    EXPECT_EQ(test::sha256_hex(palette), row.at("palette_sha256"));
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST(PcxDecoder, RunLengthRules) {
  auto pcx = [](Bytes body) {
    Bytes out(128, 0xEE);  // the header is never looked at
    out.insert(out.end(), body.begin(), body.end());
    return out;
  };
  Bytes with_palette = {0x0C};  // the marker byte, not checked
  for (int i = 0; i < 768; ++i) with_palette.push_back(static_cast<std::uint8_t>(50 + i));
  struct Case {
    const char* what;
    Bytes body;
    std::size_t pixel_count;
    Bytes pixels;
    bool palette_follows = true;
  };
  const Case cases[] = {
      // 0xC3 0x07: three 7s; 0xC0 0x55: nothing (the 0x55 is consumed); 0xC1 0xC8: one 0xC8, the
      // only way to store 0xC0 or more.
      {"runs and literals", {0xC3, 0x07, 0xC0, 0x55, 0xBF, 0x00, 0xC1, 0xC8}, 6, {7, 7, 7, 0xBF, 0x00, 0xC8}},
      {"a run ending at the pixel count", {0xC4, 0x09}, 4, {9, 9, 9, 9}},
      {"a run past the pixel count is cut, its rest not read", {0x01, 0xFF, 0x02}, 3, {1, 2, 2}},
      {"a run without its value byte, nothing after", {5, 6, 0xC3}, 6, {5, 6, 0, 0, 0, 0}, false},
      // The longest run with exactly its widest store of room left, then the entry ends.
      {"a long run up to one short of the pixel count", {0xC6, 4, 0xFF, 1}, 70,
       [] {
         Bytes b(70, 1);
         std::fill_n(b.begin(), 6, 4);
         b.back() = 0;
         return b;
       }(),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes storage(c.pixel_count + 8, 0x77);
    Palette palette;
    palette.fill(0xEE);
    Bytes entry = pcx(c.body);
    if (c.palette_follows) entry.insert(entry.end(), with_palette.begin(), with_palette.end());
    decode_pcx(entry, std::span(storage).first(c.pixel_count), palette);
    EXPECT_EQ(Bytes(storage.begin(), storage.begin() + static_cast<std::ptrdiff_t>(c.pixel_count)), c.pixels);
    EXPECT_EQ(Bytes(storage.begin() + static_cast<std::ptrdiff_t>(c.pixel_count), storage.end()), Bytes(8, 0x77));
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), c.palette_follows ? with_palette.begin() + 1 : Bytes(768, 0).begin()))
        << "the palette follows one byte behind the pixels; missing bytes read as 0";
  }
  // A palette cut after 3 bytes, and an entry shorter than the header.
  Palette palette;
  Bytes pixel(1);
  decode_pcx(pcx({4, 0x0C, 1, 2, 3}), pixel, palette);
  EXPECT_EQ(pixel[0], 4);
  EXPECT_EQ(Bytes(palette.begin(), palette.begin() + 5), (Bytes{1, 2, 3, 0, 0}));
  Bytes pixels(6, 0xEE);
  decode_pcx(Bytes(60, 0xC5), pixels, palette);
  EXPECT_EQ(pixels, Bytes(6, 0));
}

TEST(PcxLoading, LoadPictureThroughStoredAndPackedEntries) {
  const Bytes file = test::read_file(test::testdata_dir() / "pcx" / "allegro.pcx");
  if (file.empty()) GTEST_SKIP() << "no PCX test data";
  Bytes expected(64000);
  Palette expected_palette{};
  decode_pcx(file, expected, expected_palette);

  RarWriter writer;
  writer.add("begin_bw.pcx", file, EntryMode::stored);
  writer.add("gfx/begin.pcx", file, EntryMode::packed);
  const test::TempFile archive_file(writer.write());
  const Archive archive(archive_file.path());
  for (const char* name : {"begin_bw.pcx", "GFX\\BEGIN.PCX"}) {
    Bytes pixels(64000);
    Palette palette{};
    archive.load_picture(name, pixels, palette);
    EXPECT_EQ(pixels, expected) << name;
    EXPECT_EQ(palette, expected_palette) << name;
  }
  // Without a palette destination only the pixels are written.
  Bytes pixels(100);
  archive.load_picture("begin_bw.pcx", pixels);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), expected.begin()));
}

}  // namespace
}  // namespace morvane
