// PCX decoding: the real 8-bit pictures against an independent decoder's digests, the
// malformed ones for safety, the run-length rules, and load_picture through an archive.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "archive/archive.h"
#include "archive/pcx_decoder.h"
#include "tests/archive/rar20_test_writer.h"
#include "tests/archive/sha256.h"
#include "tests/archive/testdata.h"

namespace morvane {
namespace {

using test::sha256_hex;

std::vector<std::uint8_t> pcx(std::vector<std::uint8_t> body, std::vector<std::uint8_t> tail = {}) {
  std::vector<std::uint8_t> out(128, 0xEE);  // the header is never looked at
  out.insert(out.end(), body.begin(), body.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

std::vector<std::uint8_t> palette_bytes(std::uint8_t first) {
  std::vector<std::uint8_t> p(768);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(first + i);
  return p;
}

TEST(PcxDecoder, RealPicturesMatchAnIndependentDecoder) {
  const auto rows = test::read_manifest(test::testdata_dir() / "pcx" / "MANIFEST.tsv");
  if (rows.empty()) GTEST_SKIP() << "no PCX test data";
  int checked = 0;
  for (const auto& row : rows) {
    if (row.at("pil_index_sha256").size() != 64 || row.at("bpp") != "8" || row.at("planes") != "1") continue;
    SCOPED_TRACE(row.at("file"));
    const auto file = test::read_file(test::testdata_dir() / "pcx" / row.at("file"));
    const std::size_t width = std::stoul(row.at("width")), height = std::stoul(row.at("height"));
    const std::size_t stride = std::stoul(row.at("bytes_per_line"));
    std::vector<std::uint8_t> pixels(stride * height);
    std::array<std::uint8_t, 768> palette{};
    decode_pcx(file, pixels, palette);
    // Rows carry bytes_per_line bytes; the digest covers the visible width only.
    std::vector<std::uint8_t> visible;
    for (std::size_t y = 0; y < height; ++y)
      visible.insert(visible.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * stride),
                     pixels.begin() + static_cast<std::ptrdiff_t>(y * stride + width));
    EXPECT_EQ(sha256_hex(visible), row.at("pil_index_sha256"));
    EXPECT_EQ(sha256_hex(palette), row.at("palette_sha256"));
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST(PcxDecoder, MalformedAndOtherDepthPicturesAreSafe) {
  const auto rows = test::read_manifest(test::testdata_dir() / "pcx" / "MANIFEST.tsv");
  if (rows.empty()) GTEST_SKIP() << "no PCX test data";
  for (const auto& row : rows) {
    const auto file = test::read_file(test::testdata_dir() / "pcx" / row.at("file"));
    for (std::size_t count : {1ul, 100ul, 64000ul, 320000ul}) {
      std::vector<std::uint8_t> pixels(count, 0xAB);
      std::array<std::uint8_t, 768> palette{};
      decode_pcx(file, pixels, palette);  // the sanitizer build checks every access
    }
  }
}

TEST(PcxDecoder, RunsAndLiterals) {
  // 0xC3 0x07: three 7s; 0xC0 0x55: nothing (the 0x55 is consumed); 0xBF literal; 0xC1 0xC8:
  // one 0xC8, the only way to store a value of 0xC0 or more.
  const auto entry = pcx({0xC3, 0x07, 0xC0, 0x55, 0xBF, 0x00, 0xC1, 0xC8}, {0x0C});
  std::vector<std::uint8_t> pixels(6, 0xEE);
  decode_pcx(entry, pixels, {});
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{7, 7, 7, 0xBF, 0x00, 0xC8}));
}

TEST(PcxDecoder, PaletteFollowsOneByteBehindThePixels) {
  const auto pal = palette_bytes(3);
  std::vector<std::uint8_t> tail = {0x0C};
  tail.insert(tail.end(), pal.begin(), pal.end());
  const auto entry = pcx({0xC4, 0x09}, tail);  // the run ends exactly at the pixel count
  std::vector<std::uint8_t> pixels(4);
  std::array<std::uint8_t, 768> palette{};
  decode_pcx(entry, pixels, palette);
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{9, 9, 9, 9}));
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), pal.begin()));
}

TEST(PcxDecoder, RunPastThePixelCountIsCut) {
  const auto pal = palette_bytes(50);
  std::vector<std::uint8_t> tail = {0x0C};
  tail.insert(tail.end(), pal.begin(), pal.end());
  const auto entry = pcx({0x01, 0xFF, 0x02}, tail);  // 63 copies of 2 where 2 pixels are left
  std::vector<std::uint8_t> storage(3 + 8, 0x77);
  std::array<std::uint8_t, 768> palette{};
  decode_pcx(entry, std::span(storage).first(3), palette);
  EXPECT_EQ(storage, (std::vector<std::uint8_t>{1, 2, 2, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77}));
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), pal.begin())) << "the rest of the run is not read";
}

TEST(PcxDecoder, MissingDataReadsAsZero) {
  std::vector<std::uint8_t> pixels(6, 0xEE);
  std::array<std::uint8_t, 768> palette;
  palette.fill(0xEE);
  decode_pcx(pcx({5, 6, 0xC3}), pixels, palette);  // a run without its value byte, nothing after
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{5, 6, 0, 0, 0, 0}));
  EXPECT_TRUE(std::all_of(palette.begin(), palette.end(), [](std::uint8_t v) { return v == 0; }));

  std::vector<std::uint8_t> tail = {0x0C, 1, 2, 3};  // palette cut after 3 bytes
  decode_pcx(pcx({4}, tail), std::span(pixels).first(1), palette);
  EXPECT_EQ(palette[0], 1);
  EXPECT_EQ(palette[2], 3);
  EXPECT_EQ(palette[3], 0);
  EXPECT_EQ(palette[767], 0);

  const std::vector<std::uint8_t> header_only(60, 0xC5);  // shorter than the header
  decode_pcx(header_only, pixels, palette);
  EXPECT_EQ(pixels, std::vector<std::uint8_t>(6, 0));
}

TEST(PcxLoading, LoadPictureThroughStoredAndPackedEntries) {
  const auto file = test::read_file(test::testdata_dir() / "pcx" / "allegro.pcx");
  if (file.empty()) GTEST_SKIP() << "no PCX test data";
  std::vector<std::uint8_t> expected(64000);
  std::array<std::uint8_t, 768> expected_palette{};
  decode_pcx(file, expected, expected_palette);

  test::Rar20Packer packer;
  test::EntrySpec packed;
  packed.name = "gfx\\begin.pcx";
  packed.data = packer.pack(file);
  packed.unp_size = static_cast<std::uint32_t>(file.size());
  packed.method = 0x35;
  test::ArchiveBuilder b;
  b.stored("begin_bw.pcx", file).entry(packed);
  const test::TempFile archive_file(b.bytes());
  const Archive archive(archive_file.path());

  for (const char* name : {"begin_bw.pcx", "GFX/BEGIN.PCX"}) {
    std::vector<std::uint8_t> pixels(64000);
    std::array<std::uint8_t, 768> palette{};
    archive.load_picture(name, pixels, palette);
    EXPECT_EQ(pixels, expected) << name;
    EXPECT_EQ(palette, expected_palette) << name;
  }
  // Without a palette destination only the pixels are written.
  std::vector<std::uint8_t> pixels(100);
  archive.load_picture("begin_bw.pcx", pixels);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), expected.begin()));
  EXPECT_EQ(archive.load_raw_file("gfx/begin.pcx"), file);
}

}  // namespace
}  // namespace morvane
