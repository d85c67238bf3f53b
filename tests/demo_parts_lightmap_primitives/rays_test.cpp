// Thick lines (block plotting, major axes, where they start and stop, the cap) and the rays
// (near points, hiding, masking, long rays over the mask).
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "demo_parts/lightmap_primitives/rays.h"
#include "demo_parts/lightmap_primitives/thick_line.h"

namespace morvane {
namespace {

class LineTest : public ::testing::Test {
 protected:
  void line(int x0, int y0, int x1, int y1) { draw_thick_line(x0, y0, x1, y1, 1, LightView(light.data(), light.size())); }
  int at(int x, int y) const { return light[static_cast<std::size_t>(y * 320 + x)]; }
  int total() const { return std::accumulate(light.begin(), light.end(), 0); }
  std::vector<std::uint8_t> light = std::vector<std::uint8_t>(kFramePixels, 0);
};

TEST_F(LineTest, BlocksOverlapAndTheEndPointIsNotDrawn) {
  line(10, 10, 20, 10);  // plots x = 10..19
  for (int y : {10, 11}) {
    EXPECT_EQ(at(10, y), 1);
    for (int x = 11; x <= 19; ++x) EXPECT_EQ(at(x, y), 2) << x;
    EXPECT_EQ(at(20, y), 1);
    EXPECT_EQ(at(21, y), 0);
  }
  EXPECT_EQ(total(), 40);
}

TEST_F(LineTest, EqualSlopesAreYMajorAndStepDiagonally) {
  line(0, 0, 5, 5);
  for (int k = 0; k < 5; ++k) EXPECT_GE(at(k, k), 1) << k;
  EXPECT_EQ(at(5, 5), 1);  // only the block of (4, 4) reaches it
  EXPECT_EQ(total(), 5 * 4);
  light.assign(light.size(), 0);
  line(100, 100, 97, 110);  // y-major, x steps back three times
  EXPECT_EQ(at(100, 100), 1);
  EXPECT_GE(at(97, 109), 1);
  EXPECT_EQ(total(), 10 * 4);
}

TEST_F(LineTest, StartsOnlyInsideAndStopsForGoodWhereItLeaves) {
  line(-1, 5, 50, 5);
  line(321, 5, 50, 5);
  line(50, 200, 50, 100);
  line(50, -1, 50, 100);
  line(7, 7, 7, 7);  // no length, nothing
  EXPECT_EQ(total(), 0);

  line(320, 5, 310, 5);  // the first block lies off the right edge, the others on it
  EXPECT_EQ(at(319, 5), 2);
  EXPECT_EQ(at(311, 6), 1);
  EXPECT_EQ(at(310, 6), 0);
  EXPECT_EQ(total(), 2 + 8 * 4);

  light.assign(light.size(), 0);
  line(5, 150, 5, 1000000);  // stops after row 200, far short of its end
  EXPECT_EQ(at(5, 199), 2);
  EXPECT_EQ(total(), 2 * 50 + 2 * 49);
  light.assign(light.size(), 0);
  line(3, 50, -100, 50);  // x = 3..0, then off the left edge
  EXPECT_EQ(at(0, 50), 1);
  EXPECT_EQ(at(1, 50), 2);
  EXPECT_EQ(total(), 4 * 4);
}

TEST_F(LineTest, SumsStopAt63) {
  light[static_cast<std::size_t>(40 * 320 + 40)] = 62;
  light[static_cast<std::size_t>(40 * 320 + 41)] = 100;  // already above: comes down to 63
  line(40, 40, 42, 40);
  EXPECT_EQ(at(40, 40), 63);
  EXPECT_EQ(at(41, 40), 63);
  line(40, 40, 42, 40);
  EXPECT_EQ(at(40, 40), 63);
}

class RaysTest : public ::testing::Test {
 protected:
  void draw(int sx, int sy) {
    draw_rays(LightView(light.data(), light.size()), MaskWindow(mask.data(), mask.size()), rays, sx, sy);
  }
  int at(int x, int y) const { return light[static_cast<std::size_t>(y * 320 + x)]; }
  void cover(int x, int y) { mask[static_cast<std::size_t>(y * 320 + x)] = 255; }
  std::vector<std::uint8_t> light = std::vector<std::uint8_t>(kFramePixels, 0);
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(kFramePixels, 0);
  std::vector<Ray> rays;
};

TEST_F(RaysTest, NearPointIsThreePercentOfTheWayTruncated) {
  Ray ray{460, -100, 0, 0, 1};
  place_near_point(ray, 160, 100);
  EXPECT_EQ(ray.near_x, 169);  // 300 x 0.03 + 160
  EXPECT_EQ(ray.near_y, 94);   // -200 x 0.03 + 100
  Ray back{-200, 299, 0, 0, 0};
  place_near_point(back, 10, 50);
  EXPECT_EQ(back.near_x, 3);   // 3.7
  EXPECT_EQ(back.near_y, 57);  // 57.47
}

TEST_F(RaysTest, CoveredNearPointsHideTheirLongRaysAndCoveredPixelsGoDark) {
  rays = {Ray{260, 100, 0, 0, 0}, Ray{160, 300, 0, 0, 0}};
  cover(163, 100);             // the first ray's near point
  for (int x = 0; x < 320; ++x) cover(x, 150);  // a bar across the second ray's path
  light[static_cast<std::size_t>(10 * 320 + 10)] = 30;
  mask[static_cast<std::size_t>(10 * 320 + 10)] = 1;
  draw(160, 100);
  EXPECT_EQ(rays[0].near_x, 163);
  EXPECT_EQ(rays[0].hidden, 1);
  EXPECT_EQ(rays[1].near_y, 106);
  EXPECT_EQ(rays[1].hidden, 0);
  EXPECT_EQ(at(10, 10), 0);    // any nonzero mask byte puts the light out
  EXPECT_EQ(at(163, 100), 0);  // covered short ray
  EXPECT_EQ(at(162, 100), 2);  // short ray, not covered
  EXPECT_EQ(at(200, 100), 0);  // no long ray from a covered near point
  // The long ray is drawn after the masking: it crosses the bar.
  EXPECT_EQ(at(160, 150), 2);
  EXPECT_EQ(at(161, 199), 2);
}

TEST_F(RaysTest, NearPointsOnRowZeroOrColumnZeroAreNeverHidden) {
  mask.assign(mask.size(), 255);
  rays = {Ray{0, -300, 0, 0, 1}, Ray{-300, 0, 0, 0, 1}, Ray{20, 20, 0, 0, 0}};
  draw(0, 5);
  EXPECT_EQ(rays[0].near_x, 0);
  EXPECT_EQ(rays[0].hidden, 0);
  EXPECT_EQ(rays[1].near_x, -9);
  EXPECT_EQ(rays[1].hidden, 0);
  draw(5, 0);
  EXPECT_EQ(rays[2].near_y, 0);
  EXPECT_EQ(rays[2].hidden, 0);
  EXPECT_EQ(rays[0].hidden, 0);
  // Only ray 2's long part is left, from (5, 0) over the covered screen.
  EXPECT_EQ(at(5, 0), 1);
  EXPECT_EQ(at(6, 1), 2);
}

}  // namespace
}  // namespace morvane
