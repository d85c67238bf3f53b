#include "platform/xm_z_scanner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/platform_sound/test_xm_builder.h"

namespace morvane {
namespace {

const std::filesystem::path kXmDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm";

std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#define SKIP_WITHOUT_TESTDATA() \
  if (!std::filesystem::is_directory(kXmDir)) GTEST_SKIP() << "no test modules in " << kXmDir

XmScan scan_file(const char* name) { return scan_xm_z(read_file(kXmDir / name)); }

// Offset of the first pattern's packed data in a module written by the test builder.
constexpr std::size_t kBuiltPatternHeader = 60 + 276;
constexpr std::size_t kBuiltPatternData = kBuiltPatternHeader + 9;

TEST(XmZScanner, FindsTheZCellsOfTheRealModules) {
  SKIP_WITHOUT_TESTDATA();
  const XmScan stereo = scan_file("stereo_z.xm");
  ASSERT_TRUE(stereo.ok()) << stereo.problem;
  EXPECT_EQ(stereo.z_cells, (std::vector<XmZCell>{{1, 0, 0, 0x40}, {1, 47, 0, 0x7F}}));
  EXPECT_EQ(stereo.header_size, 22u);
  EXPECT_EQ(stereo.orders, (std::vector<std::uint8_t>{0, 1}));
  EXPECT_EQ(stereo.channels, 2);

  const XmScan ft2 = scan_file("ft2_z00.xm");
  ASSERT_TRUE(ft2.ok()) << ft2.problem;
  EXPECT_EQ(ft2.z_cells, (std::vector<XmZCell>{{0, 4, 0, 0}}));
}

// The patched copy differs from the file only in the effect byte of each Z and its non-zero
// parameter byte, all set to 0, and holds no Z any more.
void expect_only_z_bytes_zeroed(const std::vector<std::uint8_t>& file, const XmScan& scan) {
  ASSERT_EQ(scan.patched.size(), file.size());
  std::size_t changed = 0;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (scan.patched[i] == file[i]) continue;
    ++changed;
    EXPECT_EQ(scan.patched[i], 0) << "byte " << i;
  }
  std::size_t expected = 0;
  for (const XmZCell& z : scan.z_cells) expected += z.parameter != 0 ? 2 : 1;
  EXPECT_EQ(changed, expected);
  const XmScan again = scan_xm_z(scan.patched);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again.z_cells.empty());
}

TEST(XmZScanner, PatchedCopyDiffersOnlyInTheZCellsAndHoldsNoZ) {
  SKIP_WITHOUT_TESTDATA();
  for (const char* name : {"stereo_z.xm", "ft2_z00.xm"}) {
    const std::vector<std::uint8_t> file = read_file(kXmDir / name);
    const XmScan scan = scan_xm_z(file);
    ASSERT_TRUE(scan.ok()) << name;
    SCOPED_TRACE(name);
    expect_only_z_bytes_zeroed(file, scan);
  }
}

TEST(XmZScanner, ReadsEveryWellFormedRealModuleAsTheManifestDescribes) {
  SKIP_WITHOUT_TESTDATA();
  struct Expected {
    const char* name;
    int song_length, channels, patterns;
  };
  for (const Expected& e : {Expected{"milky.xm", 17, 10, 17}, Expected{"slumberjack.xm", 42, 8, 27},
                            Expected{"sv_ttt.xm", 16, 6, 17}, Expected{"unet2.xm", 31, 6, 32},
                            Expected{"patloop_jumps.xm", 12, 4, 7}, Expected{"pathead272.xm", 1, 2, 1},
                            Expected{"read_event_ft2.xm", 12, 8, 12}, Expected{"ins128_empty.xm", 2, 4, 2},
                            Expected{"rows256.xm", 1, 2, 1}}) {
    const XmScan scan = scan_file(e.name);
    ASSERT_TRUE(scan.ok()) << e.name << ": " << scan.problem;
    EXPECT_EQ(scan.song_length, e.song_length) << e.name;
    EXPECT_EQ(scan.channels, e.channels) << e.name;
    EXPECT_EQ(static_cast<int>(scan.pattern_rows.size()), e.patterns) << e.name;
    EXPECT_TRUE(scan.z_cells.empty()) << e.name;
  }
  EXPECT_EQ(scan_file("rows256.xm").pattern_rows, (std::vector<std::uint16_t>{256}));
  EXPECT_EQ(scan_file("sv_ttt.xm").restart_position, 2);
}

TEST(XmZScanner, RejectsOrToleratesTheBrokenRealModules) {
  SKIP_WITHOUT_TESTDATA();
  EXPECT_EQ(scan_file("orders_hdr22.xm").status, XmScanStatus::kMalformed);  // 210 orders, 2 stored
  EXPECT_EQ(scan_file("zero_chan.xm").status, XmScanStatus::kMalformed);
  const XmScan bad_length = scan_file("bad_patlen.xm");
  EXPECT_EQ(bad_length.status, XmScanStatus::kTruncated);
  EXPECT_FALSE(bad_length.problem.empty());
  EXPECT_TRUE(bad_length.patched.empty());
  // Packed data ending after 32 of 256 cells: the rest of the pattern is empty.
  const XmScan short_data = scan_file("pattrunc.xm");
  ASSERT_TRUE(short_data.ok()) << short_data.problem;
  EXPECT_TRUE(short_data.z_cells.empty());
}

TEST(XmZScanner, EveryPrefixOfAModuleIsRejectedOrReadSafely) {
  SKIP_WITHOUT_TESTDATA();
  const std::vector<std::uint8_t> file = read_file(kXmDir / "stereo_z.xm");
  const XmScan whole = scan_xm_z(file);
  ASSERT_TRUE(whole.ok());
  for (std::size_t n = 0; n < file.size(); ++n) {
    // A heap copy of exactly n bytes, so that the sanitizer sees any read past the end.
    const std::vector<std::uint8_t> prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    const XmScan scan = scan_xm_z(prefix);
    if (scan.ok()) {
      EXPECT_EQ(scan.z_cells, whole.z_cells) << n;  // only the instruments were cut
    } else {
      EXPECT_NE(scan.status, XmScanStatus::kOk);
      EXPECT_TRUE(scan.patched.empty());
    }
  }
}

TEST(XmZScanner, SurvivesRandomDamage) {
  SKIP_WITHOUT_TESTDATA();
  const std::vector<std::uint8_t> file = read_file(kXmDir / "stereo_z.xm");
  ASSERT_FALSE(file.empty());
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> damaged = file;
    // Damage the header and pattern area, where the reader looks.
    const std::size_t area = std::min<std::size_t>(damaged.size(), 400);
    for (int k = 0; k < 4; ++k) damaged[random() % area] = static_cast<std::uint8_t>(random());
    const XmScan scan = scan_xm_z(damaged);
    if (scan.ok()) {
      EXPECT_EQ(scan.patched.size(), damaged.size());
    }
  }
}

test::TestModule one_pattern_module(int rows, int channels) {
  test::TestModule m;
  m.channels = channels;
  m.orders = {0};
  m.patterns = {test::empty_pattern(rows, channels)};
  return m;
}

TEST(XmZScanner, ReadsMaskedAndUnpackedCellsAndZWithoutParameter) {
  for (bool unpacked : {false, true}) {
    test::TestModule m = one_pattern_module(4, 3);
    auto& cells = m.patterns[0].cells;
    cells[0 * 3 + 2] = {49, 1, 0, kXmEffectZ, 0x11};  // row 0, channel 2, with a note
    cells[2 * 3 + 0] = {0, 0, 0, kXmEffectZ, 0};      // Z00: no parameter byte when masked
    cells[2 * 3 + 1] = {0, 0, 0, 0x0F, 0x06};         // F06 is not touched
    cells[3 * 3 + 1] = {0, 0, 0, kXmEffectZ, 0xFF};
    m.unpacked_cells = unpacked;
    const XmScan scan = scan_xm_z(test::build_xm(m));
    ASSERT_TRUE(scan.ok()) << scan.problem;
    EXPECT_EQ(scan.z_cells, (std::vector<XmZCell>{{0, 0, 2, 0x11}, {0, 2, 0, 0}, {0, 3, 1, 0xFF}})) << unpacked;
    expect_only_z_bytes_zeroed(test::build_xm(m), scan);
  }
}

TEST(XmZScanner, ACellCutOffByTheEndOfThePackedDataIsIgnored) {
  test::TestModule m = one_pattern_module(2, 1);
  m.patterns[0].cells[0] = {0, 0, 0, kXmEffectZ, 0x21};
  m.patterns[0].cells[1] = {0, 0, 0, kXmEffectZ, 0x22};  // mask, effect, parameter: 3 bytes
  std::vector<std::uint8_t> file = test::build_xm(m);
  ASSERT_EQ(file[kBuiltPatternHeader + 7], 6);
  file[kBuiltPatternHeader + 7] = 5;  // the second cell loses its parameter byte
  const XmScan scan = scan_xm_z(file);
  ASSERT_TRUE(scan.ok()) << scan.problem;
  EXPECT_EQ(scan.z_cells, (std::vector<XmZCell>{{0, 0, 0, 0x21}}));
  EXPECT_EQ(scan.patched[kBuiltPatternData + 4], kXmEffectZ);  // left as it was
}

TEST(XmZScanner, RejectsBadHeaders) {
  const std::vector<std::uint8_t> good = test::build_xm(one_pattern_module(4, 2));
  ASSERT_TRUE(scan_xm_z(good).ok());
  auto with = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> file = good;
    file[at] = value;
    return scan_xm_z(file).status;
  };
  EXPECT_EQ(scan_xm_z({}).status, XmScanStatus::kNotXm);
  EXPECT_EQ(with(0, 'X'), XmScanStatus::kNotXm);
  EXPECT_EQ(with(9, 'm'), XmScanStatus::kOk);                      // "Extended module: "
  EXPECT_EQ(with(58, 0x02), XmScanStatus::kUnsupportedVersion);   // 1.02 keeps instruments first
  EXPECT_EQ(with(60, 19), XmScanStatus::kMalformed);              // header size below its fields
  EXPECT_EQ(with(63, 0x7F), XmScanStatus::kTruncated);            // header size past the end
  EXPECT_EQ(with(69, 0x02), XmScanStatus::kMalformed);            // 512 channels
  EXPECT_EQ(with(71, 0x02), XmScanStatus::kMalformed);            // 512 patterns
  EXPECT_EQ(with(70, 2), XmScanStatus::kTruncated);               // a second pattern that is not there
  EXPECT_EQ(with(kBuiltPatternHeader, 8), XmScanStatus::kMalformed);  // pattern header too short
  EXPECT_EQ(with(kBuiltPatternHeader + 5, 0), XmScanStatus::kMalformed);  // 0 rows
  EXPECT_EQ(with(kBuiltPatternHeader + 6, 1), XmScanStatus::kMalformed);  // 260 rows
  EXPECT_EQ(with(kBuiltPatternHeader + 8, 1), XmScanStatus::kTruncated);  // data past the end
}

TEST(XmZScanner, LooksUpTheZCellsOfARow) {
  const std::vector<XmZCell> cells = {{0, 3, 0, 1}, {0, 3, 2, 2}, {1, 0, 1, 3}, {1, 3, 0, 4}, {1, 3, 1, 5}};
  const auto row = [&](int pattern, int r) {
    std::vector<int> values;
    for (const XmZCell& z : z_cells_in_row(cells, pattern, r)) values.push_back(z.parameter);
    return values;
  };
  EXPECT_EQ(row(0, 3), (std::vector<int>{1, 2}));
  EXPECT_EQ(row(1, 0), (std::vector<int>{3}));
  EXPECT_EQ(row(1, 3), (std::vector<int>{4, 5}));
  EXPECT_TRUE(row(0, 0).empty());
  EXPECT_TRUE(row(2, 3).empty());
  EXPECT_TRUE(row(-1, 0).empty());
}

}  // namespace
}  // namespace morvane
