// Shade tables: each layout entry by entry against the band formulas evaluated here in double
// precision.
#include "demo_parts/shade_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace morvane {
namespace {

using Palette = std::array<std::uint8_t, 768>;

Palette test_palette() {
  Palette p{};
  for (int c = 0; c < 256; ++c) {
    p[3 * c] = static_cast<std::uint8_t>(c);
    p[3 * c + 1] = static_cast<std::uint8_t>(255 - c);
    p[3 * c + 2] = static_cast<std::uint8_t>((c * 97 + 13) & 0xFF);
  }
  // The extremes every band has to get right; colour 4 (red 4) needs the additive
  // band to truncate j / 2 + r / 8 as one sum.
  p[0] = p[1] = p[2] = 0;
  p[3] = p[4] = p[5] = 255;
  return p;
}

int t(double v) { return static_cast<int>(v); }  // truncation toward zero
Rgb565 rgb565(int r, int g, int b) { return static_cast<Rgb565>(r * 2048 + g * 32 + b); }

enum class Band { kBlack, kWhite, kDark64, kLift64, kDark32, kLift32, kAdditive };

Rgb565 expected(Band band, int j, int r, int g, int b) {
  switch (band) {
    case Band::kBlack: return 0;
    case Band::kWhite: return 0xFFFF;
    case Band::kDark64: return rgb565(t(j * r / 512.0), t(j * g / 256.0), t(j * b / 512.0));
    case Band::kDark32: return rgb565(t(j * r / 256.0), t(j * g / 128.0), t(j * b / 256.0));
    case Band::kLift64:
    case Band::kLift32: {
      const double o = j * 256.0 / (band == Band::kLift64 ? 64 : 32);
      return rgb565(t(std::max<double>(r, o) / 8), t(std::max<double>(g, o) / 4), t(std::max<double>(b, o) / 8));
    }
    case Band::kAdditive:
      return rgb565(std::min(31, t(j / 2.0 + r / 8.0)), std::min(63, t(j + g / 4.0)), std::min(31, t(j / 2.0 + b / 8.0)));
  }
  return 0;
}

struct Segment {
  Band band;
  int levels;
};

void expect_layout(std::span<const Rgb565> table, const Palette& p, std::initializer_list<Segment> layout) {
  int level = 0;
  for (const Segment& s : layout) {
    for (int j = 0; j < s.levels; ++j, ++level)
      for (int c = 0; c < 256; ++c)
        ASSERT_EQ(table[static_cast<std::size_t>(level) * 256 + c], expected(s.band, j, p[3 * c], p[3 * c + 1], p[3 * c + 2]))
            << "level " << level << " colour " << c;
  }
  EXPECT_EQ(static_cast<std::size_t>(level) * 256, table.size());
}

TEST(ShadeTables, EveryLayoutFollowsItsBands) {
  const Palette p = test_palette();
  std::vector<Rgb565> t256(65536), t128a(32768), t64(16384), t128w(32768);
  build_shade_table_256(p, std::span<Rgb565, 65536>(t256));
  build_shade_table_128_additive(p, std::span<Rgb565, 32768>(t128a));
  build_shade_table_64(p, std::span<Rgb565, 16384>(t64));
  build_shade_table_128_white(p, std::span<Rgb565, 32768>(t128w));
  expect_layout(t256, p, {{Band::kBlack, 128}, {Band::kDark64, 64}, {Band::kLift64, 64}});
  expect_layout(t128a, p, {{Band::kDark64, 64}, {Band::kAdditive, 64}});
  expect_layout(t64, p, {{Band::kDark32, 32}, {Band::kLift32, 32}});
  expect_layout(t128w, p, {{Band::kAdditive, 64}, {Band::kWhite, 64}});
}

}  // namespace
}  // namespace morvane
