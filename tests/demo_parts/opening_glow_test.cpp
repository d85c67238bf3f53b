// The opening scene's glow kernels and cloud projection: bar extents, the in-place blur order,
// sprite stamping and the guarded projection.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "demo_parts/opening/cloud.h"
#include "demo_parts/opening/glow.h"

namespace morvane {
namespace {

class GlowTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> glow = std::vector<std::uint8_t>(kFramePixels, 0);
  GlowView view{glow.data(), kFramePixels};
  std::uint8_t& at(int x, int y) { return glow[static_cast<std::size_t>(y * kFrameWidth + x)]; }
  int nonzero() const { return static_cast<int>(std::count_if(glow.begin(), glow.end(), [](auto v) { return v != 0; })); }
};

TEST_F(GlowTest, WideBarCoversColumns0To318OfRows66To115) {
  draw_glow_bar(view, 0, 319);
  for (int y = 66; y <= 115; ++y) {
    for (int x = 0; x <= 318; ++x) ASSERT_EQ(at(x, y), 63) << x << "," << y;
    EXPECT_EQ(at(319, y), 0) << y;
  }
  EXPECT_EQ(nonzero(), 50 * 319);
}

// Expected values worked out from the definition: groups of four from offset 321, each group
// computed from the buffer as it stands (new bytes before it, old bytes from it on).
TEST_F(GlowTest, BlurSeesNewValuesBeforeTheGroupAndOldOnesWithinIt) {
  glow[1000] = 40;  // last byte of its group
  blur_glow(view);
  const std::vector<std::pair<int, int>> expected = {{680, 10}, {681, 2}, {999, 10}, {1000, 2}, {1001, 1}, {1319, 2}};
  for (auto [offset, value] : expected) EXPECT_EQ(glow[offset], value) << offset;
  EXPECT_EQ(nonzero(), 6);

  std::fill(glow.begin(), glow.end(), 0);
  glow[1001] = 40;  // first byte of its group
  blur_glow(view);
  const std::vector<std::pair<int, int>> expected2 = {{681, 10}, {1000, 10}, {1001, 5}, {1002, 10},
                                                      {1320, 2}, {1321, 1},  {1322, 2}};
  for (auto [offset, value] : expected2) EXPECT_EQ(glow[offset], value) << offset;
  EXPECT_EQ(nonzero(), 7);
}

TEST_F(GlowTest, BlurMatchesBytewiseDefinitionAndKeepsTheBorders) {
  std::mt19937 random(7);
  for (auto& g : glow) g = static_cast<std::uint8_t>(random() % 64);
  std::vector<std::uint8_t> reference = glow;
  for (int k0 = 321; k0 <= 63676; k0 += 4) {
    int fresh[4];
    for (int j = 0; j < 4; ++j) {
      const int k = k0 + j;
      fresh[j] = (reference[k - 1] + reference[k + 1] + reference[k + 320] + reference[k - 320]) / 4;
    }
    for (int j = 0; j < 4; ++j) reference[k0 + j] = static_cast<std::uint8_t>(fresh[j]);
  }
  const std::vector<std::uint8_t> before = glow;
  blur_glow(view);
  EXPECT_EQ(glow, reference);
  EXPECT_TRUE(std::equal(glow.begin(), glow.begin() + 321, before.begin()));
  EXPECT_TRUE(std::equal(glow.begin() + 63680, glow.end(), before.begin() + 63680));
}

TEST_F(GlowTest, StampAddsNineByNineCappedAt63) {
  std::vector<std::uint8_t> sprite(100, 20);
  for (int i = 0; i < 10; ++i) {
    sprite[static_cast<std::size_t>(i * 10 + 9)] = 99;  // tenth column
    sprite[static_cast<std::size_t>(90 + i)] = 99;      // tenth row
  }
  at(311, 191) = 50;
  stamp_sprite(view, SpriteView(sprite.data(), 100), 311, 191);
  EXPECT_EQ(at(311, 191), 63);
  EXPECT_EQ(at(319, 199), 20);
  EXPECT_EQ(nonzero(), 81);
}

CloudTransform flat_transform(double depth) {
  CloudTransform m{};
  m.x_row = {1, 0, 0};
  m.y_row = {0, 1, 0};
  m.depth_row = {0, 0, 0};
  m.offset = {0, 0, depth};
  return m;
}

TEST(CloudProjection, PointAtDepthZeroLandsOnTheCentre) {
  const auto at = project_point(flat_transform(0.0), CloudPoint{100.0f, -50.0f, 3.0f});
  ASSERT_TRUE(at);
  EXPECT_EQ(at->x, 160);
  EXPECT_EQ(at->y, 100);
}

TEST(CloudProjection, TruncatesTowardZeroAtTheStampingEdges) {
  const CloudTransform unit = flat_transform(256.0);  // w = 1
  EXPECT_EQ(project_point(unit, {-160.5f, 0.0f, 0.0f})->x, 0);  // -0.5 truncates to 0
  EXPECT_FALSE(project_point(unit, {-161.0f, 0.0f, 0.0f}));
  EXPECT_EQ(project_point(unit, {151.5f, 0.0f, 0.0f})->x, 311);
  EXPECT_FALSE(project_point(unit, {152.0f, 0.0f, 0.0f}));
  EXPECT_EQ(project_point(unit, {0.0f, 91.75f, 0.0f})->y, 191);
  EXPECT_FALSE(project_point(unit, {0.0f, 92.0f, 0.0f}));
  EXPECT_EQ(project_point(flat_transform(-512.0), {20.0f, 0.0f, 0.0f})->x, 170);  // |depth|
}

TEST(CloudProjection, PointsBeyondTheIntegerRangeAreSkipped) {
  EXPECT_FALSE(project_point(flat_transform(1e-300), {1.0f, 0.0f, 0.0f}));
  EXPECT_FALSE(project_point(flat_transform(1e-300), {0.0f, -1.0f, 0.0f}));
  // Infinite scale times a zero coordinate: NaN, not a position.
  EXPECT_FALSE(project_point(flat_transform(std::numeric_limits<double>::denorm_min()), {0.0f, 0.0f, 0.0f}));
}

}  // namespace
}  // namespace morvane
