#include "platform/xm_z_scanner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <array>
#include <random>

#include "tests/platform_sound/z_song.h"
#include "tools/compose/xm_writer.h"

namespace morvane {
namespace {

const std::filesystem::path kXmDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm";

std::vector<std::uint8_t> read_module(const char* name) {
  std::ifstream in(kXmDir / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#define SKIP_WITHOUT_TESTDATA() \
  if (!std::filesystem::is_directory(kXmDir)) GTEST_SKIP() << "no test modules in " << kXmDir

// The first pattern header of a written module follows the 60 + 276 header bytes.
constexpr std::size_t kPatternHeader = 336;

// The patched copy differs from the file only in the effect byte of each Z and its non-zero
// parameter byte, all set to 0, and holds no Z any more.
void expect_only_z_bytes_zeroed(const std::vector<std::uint8_t>& file, const XmScan& scan) {
  ASSERT_EQ(scan.patched.size(), file.size());
  std::size_t changed = 0, expected = 0;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (scan.patched[i] == file[i]) continue;
    ++changed;
    EXPECT_EQ(scan.patched[i], 0) << "byte " << i;
  }
  for (const XmZCell& z : scan.z_cells) expected += z.parameter != 0 ? 2 : 1;
  EXPECT_EQ(changed, expected);
  const XmScan again = scan_xm_z(scan.patched);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again.z_cells.empty());
}

TEST(XmZScanner, RealModulesAsTheManifestDescribesThem) {
  SKIP_WITHOUT_TESTDATA();
  const XmScan stereo = scan_xm_z(read_module("stereo_z.xm"));
  ASSERT_TRUE(stereo.ok()) << stereo.problem;
  EXPECT_EQ(stereo.z_cells, (std::vector<XmZCell>{{1, 0, 0, 0x40}, {1, 47, 0, 0x7F}}));
  EXPECT_EQ(stereo.header_size, 22u);
  EXPECT_EQ(stereo.orders, (std::vector<std::uint8_t>{0, 1}));
  EXPECT_EQ(scan_xm_z(read_module("ft2_z00.xm")).z_cells, (std::vector<XmZCell>{{0, 4, 0, 0}}));
  for (const char* name : {"stereo_z.xm", "ft2_z00.xm"}) {
    SCOPED_TRACE(name);
    const auto file = read_module(name);
    expect_only_z_bytes_zeroed(file, scan_xm_z(file));
  }
  // Song length, channels, patterns; no Z. (pattrunc.xm's data ends after 32 of 256 cells.)
  for (const auto& [name, shape] : std::map<std::string, std::array<int, 3>>{
           {"milky.xm", {17, 10, 17}}, {"slumberjack.xm", {42, 8, 27}}, {"sv_ttt.xm", {16, 6, 17}},
           {"unet2.xm", {31, 6, 32}}, {"patloop_jumps.xm", {12, 4, 7}}, {"pathead272.xm", {1, 2, 1}},
           {"read_event_ft2.xm", {12, 8, 12}}, {"ins128_empty.xm", {2, 4, 2}}, {"rows256.xm", {1, 2, 1}},
           {"pattrunc.xm", {1, 4, 1}}}) {
    const XmScan scan = scan_xm_z(read_module(name.c_str()));
    ASSERT_TRUE(scan.ok()) << name << ": " << scan.problem;
    EXPECT_EQ((std::array<int, 3>{scan.song_length, scan.channels, static_cast<int>(scan.pattern_rows.size())}), shape) << name;
    EXPECT_TRUE(scan.z_cells.empty()) << name;
  }
  EXPECT_EQ(scan_xm_z(read_module("rows256.xm")).pattern_rows, (std::vector<std::uint16_t>{256}));
  EXPECT_EQ(scan_xm_z(read_module("sv_ttt.xm")).restart_position, 2);
  // 210 orders with 2 stored; no channels; a pattern length past the end.
  for (auto [name, status] : {std::pair{"orders_hdr22.xm", XmScanStatus::kMalformed}, std::pair{"zero_chan.xm", XmScanStatus::kMalformed},
                              std::pair{"bad_patlen.xm", XmScanStatus::kTruncated}}) {
    const XmScan bad = scan_xm_z(read_module(name));
    EXPECT_EQ(bad.status, status) << name;
    EXPECT_TRUE(!bad.problem.empty() && bad.patched.empty()) << name;
  }
}

TEST(XmZScanner, EveryPrefixAndRandomDamageIsRejectedOrReadSafely) {
  SKIP_WITHOUT_TESTDATA();
  const std::vector<std::uint8_t> file = read_module("stereo_z.xm");
  const XmScan whole = scan_xm_z(file);
  ASSERT_TRUE(whole.ok());
  for (std::size_t n = 0; n < file.size(); ++n) {
    // A heap copy of exactly n bytes, so that the sanitizer sees any read past the end.
    const XmScan scan = scan_xm_z(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
    if (scan.ok()) {
      EXPECT_EQ(scan.z_cells, whole.z_cells) << n;  // only the instruments were cut
    } else {
      EXPECT_TRUE(scan.patched.empty()) << n;
    }
  }
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> damaged = file;
    for (int k = 0; k < 4; ++k) damaged[random() % 400] = static_cast<std::uint8_t>(random());
    const XmScan scan = scan_xm_z(damaged);
    if (scan.ok()) {
      EXPECT_EQ(scan.patched.size(), damaged.size());
    }
    // Patching the file's own bytes while reading them gives what patching a copy gives.
    const XmScan in_place = scan_xm_z_in_place(std::move(damaged));
    EXPECT_EQ(in_place.status, scan.status);
    EXPECT_EQ(in_place.z_cells, scan.z_cells);
    EXPECT_EQ(in_place.patched, scan.patched);
  }
}

TEST(XmZScanner, FullCellsMaskedCellsAndZWithoutParameter) {
  xm::Module m = test::plain_module({4}, 4, true);
  m.patterns[0].at(0, 2) = {49, 1, xm::volume_column(64), xm::kEffectZ, 0x11};  // all five fields: stored raw
  m.patterns[0].at(2, 0) = {0, 0, 0, xm::kEffectZ, 0};                          // Z00: no parameter byte
  m.patterns[0].at(2, 1) = {0, 0, 0, 0x0F, 0x06};                               // F06 is not touched
  m.patterns[0].at(3, 1) = {0, 0, 0, xm::kEffectZ, 0xFF};
  const auto file = xm::write_module(m);
  const XmScan scan = scan_xm_z(file);
  ASSERT_TRUE(scan.ok()) << scan.problem;
  EXPECT_EQ(scan.z_cells, (std::vector<XmZCell>{{0, 0, 2, 0x11}, {0, 2, 0, 0}, {0, 3, 1, 0xFF}}));
  expect_only_z_bytes_zeroed(file, scan);
  // The row lookup the players use on such a table, including rows and patterns without Z.
  const auto row = [&](int pattern, int r) { return z_cells_in_row(scan.z_cells, pattern, r).size(); };
  EXPECT_EQ(row(0, 2), 1u);
  EXPECT_EQ(row(0, 1), 0u);
  EXPECT_EQ(row(1, 0), 0u);
  EXPECT_EQ(row(-1, 0), 0u);
}

TEST(XmZScanner, RejectsBadHeaders) {
  const std::vector<std::uint8_t> good = xm::write_module(test::plain_module({4}, 2, false));
  ASSERT_TRUE(scan_xm_z(good).ok());
  struct Damage {
    std::size_t at;
    std::uint8_t value;
    XmScanStatus status;
  };
  for (const Damage& d : {Damage{0, 'X', XmScanStatus::kNotXm},
                          Damage{9, 'm', XmScanStatus::kOk},                    // "Extended module: "
                          Damage{58, 0x02, XmScanStatus::kUnsupportedVersion},  // 1.02 keeps instruments first
                          Damage{60, 19, XmScanStatus::kMalformed},             // header below its fields
                          Damage{63, 0x7F, XmScanStatus::kTruncated},           // header past the end
                          Damage{69, 0x02, XmScanStatus::kMalformed},           // 512 channels
                          Damage{71, 0x02, XmScanStatus::kMalformed},           // 512 patterns
                          Damage{70, 2, XmScanStatus::kTruncated},              // a pattern that is not there
                          Damage{kPatternHeader, 8, XmScanStatus::kMalformed},  // pattern header too short
                          Damage{kPatternHeader + 5, 0, XmScanStatus::kMalformed},   // 0 rows
                          Damage{kPatternHeader + 6, 1, XmScanStatus::kMalformed},   // 260 rows
                          Damage{kPatternHeader + 8, 1, XmScanStatus::kTruncated}}) {  // data past the end
    std::vector<std::uint8_t> file = good;
    file[d.at] = d.value;
    EXPECT_EQ(scan_xm_z(file).status, d.status) << "byte " << d.at;
  }
  EXPECT_EQ(scan_xm_z({}).status, XmScanStatus::kNotXm);
}

}  // namespace
}  // namespace morvane
