// The additive blit (clipping on all sides, 8-bit sums, the cap) and the lens flare's five
// images along the line.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "demo_parts/lightmap_primitives/add_blit.h"
#include "demo_parts/lightmap_primitives/lens_flare.h"

namespace morvane {
namespace {

class BlitTest : public ::testing::Test {
 protected:
  // A 20 x 10 source whose byte is 10 x row + column (0..199).
  BlitTest() : source(200) {
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 20; ++c) source[static_cast<std::size_t>(r * 20 + c)] = static_cast<std::uint8_t>(10 * r + c);
  }
  void blit(int x, int y, int cap = 256) {
    add_blit(dest, source, BlitRect{x, y, 0, 0, 20, 10}, cap, 320, 20);
  }
  int at(int x, int y) const { return dest[static_cast<std::size_t>(y * 320 + x)]; }
  int total() const { return std::accumulate(dest.begin(), dest.end(), 0); }
  std::vector<std::uint8_t> source;
  std::vector<std::uint8_t> dest = std::vector<std::uint8_t>(kFramePixels, 0);
};

TEST_F(BlitTest, ClipsOnEverySideAndShiftsTheSource) {
  blit(-5, -3);  // shows source columns 5..19 and rows 3..9 at the top-left corner
  EXPECT_EQ(at(0, 0), 35);
  EXPECT_EQ(at(14, 6), 10 * 9 + 19);
  EXPECT_EQ(at(15, 0), 0);
  EXPECT_EQ(at(0, 7), 0);
  dest.assign(dest.size(), 0);
  blit(310, 195);  // columns 0..9, rows 0..4 at the bottom-right corner
  EXPECT_EQ(at(310, 195), 0);
  EXPECT_EQ(at(319, 199), 10 * 4 + 9);
  EXPECT_EQ(at(309, 199), 0);
  EXPECT_EQ(total(), [] {
    int sum = 0;
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 10; ++c) sum += 10 * r + c;
    return sum;
  }());
}

TEST_F(BlitTest, RectanglesOffTheScreenDrawNothing) {
  for (const auto& [x, y] : {std::pair{-20, 5}, {320, 5}, {5, -10}, {5, 200}, {-500, -500}, {100000, 0}}) blit(x, y);
  EXPECT_EQ(total(), 0);
  blit(-19, -9);  // one pixel left: the source's last
  EXPECT_EQ(total(), 10 * 9 + 19);
}

TEST_F(BlitTest, SumsKeepEightBitsThenStopBelowTheCap) {
  dest[static_cast<std::size_t>(5 * 320 + 5)] = 250;   // + 0 = 250: capped
  dest[static_cast<std::size_t>(5 * 320 + 15)] = 250;  // + 10 = 260 -> 4
  dest[static_cast<std::size_t>(5 * 320 + 16)] = 60;   // + 11 = 71: capped
  blit(5, 5, 64);
  EXPECT_EQ(at(5, 5), 63);
  EXPECT_EQ(at(15, 5), 4);
  EXPECT_EQ(at(16, 5), 63);
  EXPECT_EQ(at(6, 5), 1);
  EXPECT_EQ(at(24, 14), 63);  // 10 x 9 + 19 = 109: capped
}

TEST(LensFlare, FiveImagesFromTheSourceTowardsItsMirror) {
  // Image f is all f + 1.
  std::vector<std::uint8_t> sheet(kFlareSheetBytes);
  for (std::size_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<std::uint8_t>(i / (160 * 100) + 1);
  std::vector<std::uint8_t> light(kFramePixels, 0);
  const auto draw = [&](int x0, int y0, int x1, int y1) {
    draw_lens_flare(LightView(light.data(), light.size()), FlareSheetView(sheet.data(), sheet.size()), x0, y0, x1, y1);
  };
  draw(160, 100, 160, 100);  // all five on the centre: 80..239 x 50..149
  EXPECT_EQ(light[100 * 320 + 160], 15);
  EXPECT_EQ(light[50 * 320 + 80], 15);
  EXPECT_EQ(light[149 * 320 + 239], 15);
  EXPECT_EQ(light[49 * 320 + 80], 0);
  EXPECT_EQ(light[50 * 320 + 240], 0);

  light.assign(light.size(), 0);
  // From the top-left corner to the bottom-right: steps of (64, 40); image f's corner at
  // (64 f - 80, 40 f - 50).
  draw(0, 0, 320, 200);
  EXPECT_EQ(light[0], 1 + 2);
  EXPECT_EQ(light[100 * 320 + 120], 3 + 4);
  EXPECT_EQ(light[199 * 320 + 319], 5);
  EXPECT_EQ(light[199 * 320 + 0], 0);

  light.assign(light.size(), 60);
  draw(160, 100, 160, 100);
  EXPECT_EQ(light[100 * 320 + 160], 63);
  draw(-1000, -1000, -1000, -1000);  // entirely off the screen
  EXPECT_EQ(light[0], 60);
}

}  // namespace
}  // namespace morvane
