// The light-map scene's whole-buffer work: warp tables, the in-place blur, the decay with its
// byte-lane carries, and the conversions to frame pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "archive/pcx_decoder.h"
#include "demo_parts/lightmap/light_blur.h"
#include "demo_parts/lightmap/light_decay.h"
#include "demo_parts/lightmap/light_output.h"
#include "demo_parts/lightmap/light_warp.h"
#include "demo_parts/shade_tables.h"

namespace morvane {
namespace {

std::vector<std::uint16_t> warp_table(double angle, double scale) {
  std::vector<std::uint16_t> table(kFramePixels);
  build_warp_table(angle, scale, WarpTable(table.data(), table.size()));
  return table;
}

TEST(WarpTables, MatchValuesWorkedOutApart) {
  const auto narrow = warp_table(kWarp1Angle, kWarp1Scale);
  const auto wide = warp_table(kWarp2Angle, kWarp2Scale);
  struct Expected {
    int x, y, narrow, wide;
  };
  const Expected cases[] = {{0, 0, 47672, 30244},   {319, 199, 16007, 33434}, {160, 100, 32160, 32160},
                            {100, 50, 9060, 63402}, {5, 150, 40926, 62568},   {300, 20, 11222, 46523}};
  for (const auto& c : cases) {
    EXPECT_EQ(narrow[static_cast<std::size_t>(c.y * 320 + c.x)], c.narrow) << c.x << "," << c.y;
    EXPECT_EQ(wide[static_cast<std::size_t>(c.y * 320 + c.x)], c.wide) << c.x << "," << c.y;
  }
  // Sources that wrap into the last row or column, or just short of it, read pixel 0.
  EXPECT_EQ(std::count(narrow.begin(), narrow.end(), 0), 750);
  EXPECT_EQ(std::count(wide.begin(), wide.end(), 0), 519);
  EXPECT_EQ(narrow[243], 0);
  EXPECT_EQ(wide[78], 0);
  EXPECT_EQ(*std::max_element(narrow.begin(), narrow.end()), 63998);
  EXPECT_EQ(*std::max_element(wide.begin(), wide.end()), 63998);
  long long narrow_sum = 0, wide_sum = 0;
  for (std::size_t i = 0; i < narrow.size(); ++i) {
    narrow_sum += narrow[i];
    wide_sum += wide[i];
  }
  EXPECT_EQ(narrow_sum % 1000003, 172411);
  EXPECT_EQ(wide_sum % 1000003, 412123);
}

class LightBuffers : public ::testing::Test {
 protected:
  LightMapBuffer map() { return LightMapBuffer(a.data(), a.size()); }
  LightMapBuffer second() { return LightMapBuffer(b.data(), b.size()); }
  std::uint8_t& va(int i) { return a[static_cast<std::size_t>(kLightMapMargin + i)]; }
  std::uint8_t& vb(int i) { return b[static_cast<std::size_t>(kLightMapMargin + i)]; }
  std::vector<std::uint8_t> a = std::vector<std::uint8_t>(kLightMapBytes, 0);
  std::vector<std::uint8_t> b = std::vector<std::uint8_t>(kLightMapBytes, 0);
};

TEST_F(LightBuffers, BlurIsInPlaceWithBlurredLeftAndUpperNeighbours) {
  va(1) = 100;
  blur_light_map(map());
  // 100 / 4 = 25 at its left; then each pixel sees the new values before it.
  const int expected[][2] = {{0, 25}, {1, 6}, {2, 1}, {3, 0}, {320, 6}, {321, 3}, {322, 1}, {323, 0}, {640, 1}, {641, 1}};
  for (const auto& [i, v] : expected) EXPECT_EQ(va(i), v) << i;
}

TEST_F(LightBuffers, BlurWrapsRowsAndReadsZeroMargins) {
  va(319) = 200;    // the left neighbour of row 1's first pixel
  va(63999) = 80;   // the last pixel: margin to its right and below
  blur_light_map(map());
  EXPECT_EQ(va(318), 50);
  EXPECT_EQ(va(319), 12);  // its own 200 does not count
  EXPECT_EQ(va(320), 3);
  EXPECT_EQ(va(63679), 20);  // sees the 80 below it
  EXPECT_EQ(va(63998), 20);
  EXPECT_EQ(va(63999), 10);
  for (int i = 0; i < kLightMapMargin; ++i) {
    ASSERT_EQ(a[static_cast<std::size_t>(i)], 0);
    ASSERT_EQ(a[a.size() - 1 - static_cast<std::size_t>(i)], 0);
  }
  // An all-127 map keeps 127 nowhere: the margins pull every pixel down at least by one.
  std::fill(a.begin() + kLightMapMargin, a.end() - kLightMapMargin, 127);
  blur_light_map(map());
  EXPECT_EQ(va(0), 63);
  EXPECT_EQ(va(32100), 126);
}

TEST_F(LightBuffers, DecayFadesInPlaceAndShowsOneLevelLess) {
  va(32100) = 40;  // row 100, column 100
  std::fill(b.begin(), b.end(), 77);
  decay_light_map(map(), second());
  // Worked out by hand. Groups start at 321 + 4k: 31777, 31781, 32097, 32101, 32417. Within a
  // group every byte reads its left neighbour as it was; only a group's first byte sees a new
  // one. So 32100 gets (0 + 9 above - 1) / 4, and 32101 (2 left + 2 above - 1) / 4.
  const int expected[][3] = {{31780, 9, 8}, {31781, 2, 1}, {31782, 0, 0}, {32099, 9, 8},
                             {32100, 2, 1}, {32101, 0, 0}, {32420, 0, 0}, {40000, 0, 0}};
  for (const auto& [i, level, shown] : expected) {
    EXPECT_EQ(va(i), level) << i;
    EXPECT_EQ(vb(i), shown) << i;
  }
  // Other keeps what it had outside 321..63676.
  for (int i : {0, 319, 320, 63677, 63679, 63680, 63999}) EXPECT_EQ(vb(i), 77) << i;
  EXPECT_EQ(vb(321), 0);
  EXPECT_EQ(vb(63676), 0);
}

TEST_F(LightBuffers, DecayClearsTheEdgeRowsButNotTheEndOfRow198) {
  std::fill(a.begin() + kLightMapMargin, a.end() - kLightMapMargin, 50);
  decay_light_map(map(), second());
  for (int i = 0; i < 320; ++i) ASSERT_EQ(va(i), 0) << i;
  EXPECT_EQ(va(320), 0);
  for (int i = 63680; i < 64000; ++i) ASSERT_EQ(va(i), 0) << i;
  for (int i = 63677; i < 63680; ++i) EXPECT_EQ(va(i), 50) << i;  // never reached
  for (std::size_t i = kLightMapMargin + kFramePixels; i < a.size(); ++i) ASSERT_EQ(a[i], 0);
}

// The decay as its words work, one lane at a time: each lane's sum carries into the next lane,
// the top lane's carry is lost.
void decay_by_lanes(std::vector<std::uint8_t>& current, std::vector<std::uint8_t>& other) {
  std::uint8_t* c = current.data() + kLightMapMargin;
  std::uint8_t* o = other.data() + kLightMapMargin;
  std::fill_n(c, 640, 0);
  std::fill_n(c + 63680, 640, 0);
  for (int p = kDecayFirst; p < kDecayEnd; p += 4) {
    int sums[4];
    for (int k = 0; k < 4; ++k) sums[k] = c[p + k - 1] + c[p + k + 1] + c[p + k + 320] + c[p + k - 320];
    int carry = 0;
    for (int k = 0; k < 4; ++k) {
      const int lane = sums[k] + carry;
      carry = lane >> 8;
      const int v = std::max((lane & 0xFF) - 1, 0) / 4;
      c[p + k] = static_cast<std::uint8_t>(v);
      o[p + k] = static_cast<std::uint8_t>(std::max(v - 1, 0));
    }
  }
}

TEST_F(LightBuffers, DecayLanesCarryLikeOneWordAddition) {
  // Levels up to 255 (far above what the rays draw) make lane sums overflow and carry.
  std::mt19937 random(7);
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < kFramePixels; ++i) {
      va(i) = static_cast<std::uint8_t>(random() % (round == 0 ? 64 : round == 1 ? 128 : 256));
      vb(i) = static_cast<std::uint8_t>(random());
    }
    std::vector<std::uint8_t> ra = a, rb = b;
    decay_by_lanes(ra, rb);
    decay_light_map(map(), second());
    ASSERT_EQ(a, ra) << round;
    ASSERT_EQ(b, rb) << round;
  }
}

TEST(LightOutput, GreyRampIsRedGreenBlueAtHalfGreenAndWrapsPast63) {
  std::array<Rgb565, kGreyLevels> grey{};
  build_grey_ramp(grey);
  EXPECT_EQ(grey[0], 0);
  EXPECT_EQ(grey[1], 32);
  EXPECT_EQ(grey[2], 2113);
  EXPECT_EQ(grey[63], 0xFFFF);
  EXPECT_EQ(grey[64], 2080);
  EXPECT_EQ(grey[127], 2079);
  for (int j = 0; j < 64; ++j) {
    const Rgb565 p = grey[static_cast<std::size_t>(j)];
    EXPECT_EQ(p >> 11, j / 2);
    EXPECT_EQ((p >> 5) & 63, j);
    EXPECT_EQ(p & 31, j / 2);
  }
}

TEST(LightOutput, ShadingClampsLevelsAndAveragingDropsEachChannelsLowBit) {
  std::vector<std::uint8_t> palette(768, 0);
  palette[3] = 255;  // colour 1 red
  palette[6 + 2] = 255;  // colour 2 blue
  std::vector<Rgb565> shade(kLightShadeEntries);
  build_shade_table_128_additive(PaletteView(palette.data(), 768), std::span<Rgb565, kLightShadeEntries>(shade.data(), shade.size()));
  std::vector<std::uint8_t> light(kFramePixels, 64);
  std::vector<std::uint8_t> picture(kFramePixels, 1);
  light[1] = 200;  // beyond the table: the top level
  light[2] = 127;
  picture[3] = 2;
  std::vector<Rgb565> frame(kFramePixels, 0x001F);
  const FrameView out(frame.data(), frame.size());
  shade_light_map(out, ConstLightView(light.data(), light.size()), LightShadeView(shade.data(), shade.size()),
                  PictureView(picture.data(), picture.size()));
  EXPECT_EQ(frame[0], 0xF800);  // level 64: the colour itself
  EXPECT_EQ(frame[1], frame[2]);
  EXPECT_EQ(frame[3], 0x001F);

  std::fill(frame.begin(), frame.end(), 0x001F);
  blend_shaded_light_map(out, ConstLightView(light.data(), light.size()), LightShadeView(shade.data(), shade.size()),
                         PictureView(picture.data(), picture.size()));
  EXPECT_EQ(frame[0], 0x780F);  // half red (15) and half blue (15)
  EXPECT_EQ(frame[3], 0x000F + 0x000F);
}

// A real 320 x 200 picture at level 64 shows every pixel in its palette colour cut to 5-6-5.
TEST(LightOutput, RealPictureAtLevel64IsItsOwnColours) {
  const std::filesystem::path file = std::filesystem::path(MORVANE_TESTDATA_DIR) / "pcx" / "mysha.pcx";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no PCX test data at " << file;
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  std::vector<std::uint8_t> picture(kFramePixels), palette(768);
  decode_pcx(bytes, picture, palette);
  std::vector<Rgb565> shade(kLightShadeEntries);
  build_shade_table_128_additive(PaletteView(palette.data(), 768), std::span<Rgb565, kLightShadeEntries>(shade.data(), shade.size()));
  const std::vector<std::uint8_t> light(kFramePixels, 64);
  std::vector<Rgb565> frame(kFramePixels);
  shade_light_map(FrameView(frame.data(), frame.size()), ConstLightView(light.data(), light.size()),
                  LightShadeView(shade.data(), shade.size()), PictureView(picture.data(), picture.size()));
  for (std::size_t i = 0; i < frame.size(); ++i) {
    const std::size_t c = picture[i];
    const auto expected = static_cast<Rgb565>(((palette[3 * c] >> 3) << 11) | ((palette[3 * c + 1] >> 2) << 5) | (palette[3 * c + 2] >> 3));
    ASSERT_EQ(frame[i], expected) << i;
  }
}

}  // namespace
}  // namespace morvane
