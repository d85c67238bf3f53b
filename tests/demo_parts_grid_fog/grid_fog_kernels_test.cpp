// The grid-and-fog scene's kernels: the particle draw, the colour waves, the grid spread over the
// frame, the fog's views, projection and limited additions, and the background and blend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo_parts/grid_fog/colour_grid.h"
#include "demo_parts/grid_fog/grid_blend.h"
#include "demo_parts/grid_fog/particle_fog.h"
#include "main/demo_rand.h"

namespace morvane {
namespace {

constexpr std::int32_t kOne = 0x10000;

GridNode node_of(double red, double green, double blue) {
  return GridNode{static_cast<std::int32_t>(red * kOne), static_cast<std::int32_t>(green * kOne),
                  static_cast<std::int32_t>(blue * kOne)};
}

GridNode& at(ColourGrid& grid, int row, int column) { return grid[static_cast<std::size_t>(grid_index(row, column))]; }

constexpr Rgb565 pack565(int r, int g, int b) { return static_cast<Rgb565>((r << 11) | (g << 5) | b); }

class GridImage : public ::testing::Test {
 protected:
  void spread() { interpolate_grid(grid, std::span<Rgb565, kFramePixels>(image.data(), kFramePixels)); }
  Rgb565 pixel(int x, int y) const { return image[static_cast<std::size_t>(y * kFrameWidth + x)]; }

  ColourGrid grid{};
  std::vector<Rgb565> image = std::vector<Rgb565>(kFramePixels, 0x1234);
};

// Values worked out apart from the formulas in double precision.
TEST(GridFogParticles, DrawSixNumbersPerParticleInOrderAndStayInRange) {
  reset_demo_rand();
  std::vector<ParticlePosition> positions(kFogParticles);
  std::vector<ParticleColour> colours(kFogParticles);
  draw_particles(ParticlePositions(positions.data(), kFogParticles), ParticleColours(colours.data(), kFogParticles));
  // Generator outputs 41, 18467, 6334 | 26500, 19169, 15724: -31.92 truncates towards zero.
  EXPECT_EQ(positions[0].x, -31);
  EXPECT_EQ(positions[0].y, 4);
  EXPECT_EQ(positions[0].z, -19);
  EXPECT_EQ(colours[0].red, 530016);
  EXPECT_EQ(colours[0].green, 805122);
  EXPECT_EQ(colours[0].blue, 314489);
  EXPECT_EQ(positions[1].x, -9);
  EXPECT_EQ(positions[1].y, 25);
  EXPECT_EQ(positions[1].z, 20);
  EXPECT_EQ(colours[1].red, 489294);
  EXPECT_EQ(colours[1].green, 239617);
  EXPECT_EQ(colours[1].blue, 562917);
  EXPECT_EQ(positions[1999].x, 6);
  EXPECT_EQ(positions[1999].z, -7);
  EXPECT_EQ(colours[1999].blue, 184945);
  // Exactly 12000 numbers drawn: the next load continues with the 12001st.
  EXPECT_EQ(demo_rand(), 23921);
  for (int i = 0; i < kFogParticles; ++i) {
    const auto& p = positions[static_cast<std::size_t>(i)];
    const auto& c = colours[static_cast<std::size_t>(i)];
    for (int v : {p.x, p.y, p.z}) ASSERT_TRUE(v >= -32 && v <= 32) << i;
    ASSERT_TRUE(c.red >= 0 && c.red <= 10 * kOne && c.blue >= 0 && c.blue <= 10 * kOne) << i;
    ASSERT_TRUE(c.green >= 0 && c.green <= 21 * kOne) << i;
  }
}

TEST(GridFogWaves, MatchValuesWorkedOutApartAndAreWholeNumbersInRange) {
  ColourGrid grid{};
  struct Expected {
    float t;
    int row, column, red, green, blue;
  };
  const Expected cases[] = {{0.0f, 0, 0, 23, 47, 16},       {0.0f, 25, 40, 20, 51, 22},    {0.0f, 13, 20, 26, 57, 29},
                            {123.5f, 7, 11, 15, 21, 23},    {1000.25f, 25, 0, 4, 5, 26},   {4321.0f, 3, 39, 27, 35, 16}};
  for (const auto& c : cases) {
    fill_waves(grid, c.t);
    const GridNode& node = at(grid, c.row, c.column);
    EXPECT_EQ(node.red, c.red * kOne) << c.t << " " << c.row << "," << c.column;
    EXPECT_EQ(node.green, c.green * kOne) << c.t << " " << c.row << "," << c.column;
    EXPECT_EQ(node.blue, c.blue * kOne) << c.t << " " << c.row << "," << c.column;
  }
  for (float t = 0.0f; t < 6000.0f; t += 77.7f) {
    fill_waves(grid, t);
    for (const GridNode& node : grid) {
      ASSERT_EQ(node.red & 0xFFFF, 0);
      ASSERT_EQ(node.green & 0xFFFF, 0);
      ASSERT_EQ(node.blue & 0xFFFF, 0);
      ASSERT_TRUE(node.red >= 2 * kOne && node.red <= 30 * kOne) << t;
      ASSERT_TRUE(node.green >= 2 * kOne && node.green <= 62 * kOne) << t;
      ASSERT_TRUE(node.blue >= 2 * kOne && node.blue <= 30 * kOne) << t;
    }
  }
}

TEST_F(GridImage, UniformGridFillsTheWholeFrameWithOneColour) {
  grid.fill(node_of(5, 40, 17));
  spread();
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](Rgb565 p) { return p == pack565(5, 40, 17); }));
}

TEST_F(GridImage, EachPixelIsOneStepInAndTheEighthReachesTheRightHandNode) {
  grid.fill(node_of(0, 0, 0));
  at(grid, 0, 1) = node_of(8, 16, 24);  // steps of 1, 2 and 3 across cell (0, 0)
  spread();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixel(i, 0), pack565(i + 1, 2 * (i + 1), 3 * (i + 1))) << i;
  // Cell (0, 1) runs back from the node towards black.
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixel(8 + i, 0), pack565(7 - i, 14 - 2 * i, 21 - 3 * i)) << i;
  // Down the rows the left edge stays black and the step across narrows by an eighth each row.
  for (int j = 0; j < 8; ++j) EXPECT_EQ(pixel(7, j), pack565(8 - j, 16 - 2 * j, 24 - 3 * j)) << j;
  EXPECT_EQ(pixel(0, 8), 0);  // the next block row starts at the black node (1, 0)
}

TEST_F(GridImage, RowStartsWalkDownTheLeftEdge) {
  grid.fill(node_of(0, 0, 0));
  at(grid, 1, 0) = node_of(16, 0, 0);
  at(grid, 1, 1) = node_of(16, 0, 0);
  spread();
  // down = 2.0 per row; across stays 0 as both edges are level.
  for (int j = 0; j < 8; ++j) {
    for (int i = 0; i < 8; ++i) ASSERT_EQ(pixel(i, j), pack565(2 * j, 0, 0)) << i << "," << j;
  }
  EXPECT_EQ(pixel(0, 8), pack565(16, 0, 0));
}

TEST_F(GridImage, StepsShiftArithmeticallyAndChannelsKeepTheirLowEightBits) {
  grid.fill(GridNode{kOne, kOne, kOne});
  // One unit below 1.0: (-1) >> 3 stays -1, so the first pixel already drops to 0.
  at(grid, 0, 1) = GridNode{kOne - 1, kOne, kOne};
  at(grid, 1, 1) = GridNode{kOne - 1, kOne, kOne};
  spread();
  EXPECT_EQ(pixel(0, 0), pack565(0, 1, 1));
  EXPECT_EQ(pixel(7, 7), pack565(0, 1, 1));
  // Beyond the 5-6-5 ranges the integer parts wrap at 256 and spill into the next field.
  grid.fill(node_of(257, 96, 0));
  spread();
  EXPECT_EQ(pixel(100, 100), pack565(1, 32, 0));  // 1 << 11 OR 96 << 5
}

TEST(GridFogTransforms, MatchValuesWorkedOutApartAndAreRotations) {
  // k = 0, t = 0: only the y angle is set (4 radians), so the view turns about x alone.
  const FogTransform first = fog_transform(0, 0.0f);
  EXPECT_EQ(first.rows[0][0], 1.0f);
  EXPECT_FLOAT_EQ(first.rows[1][1], -0.6536436080932617f);
  EXPECT_FLOAT_EQ(first.rows[1][2], 0.756802499294281f);
  EXPECT_FLOAT_EQ(first.rows[2][1], -0.756802499294281f);
  EXPECT_EQ(first.offset[0], 0.0f);
  EXPECT_EQ(first.offset[1], 20.0f);
  EXPECT_EQ(first.offset[2], 0.0f);
  const FogTransform later = fog_transform(3, 100.0f);
  const std::array<std::array<float, 3>, 3> rows = {{{0.7492135167121887f, -0.657768964767456f, -0.07758314162492752f},
                                                      {0.36666929721832275f, 0.31436485052108765f, 0.875630259513855f},
                                                      {-0.5515729784965515f, -0.6844813823699951f, 0.47671008110046387f}}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(later.rows[r][c], rows[r][c]) << r << "," << c;
  }
  EXPECT_EQ(later.offset[0], 17.45276641845703f);
  EXPECT_EQ(later.offset[1], -16.132522583007812f);
  EXPECT_EQ(later.offset[2], -16.88066291809082f);
  EXPECT_EQ(fog_transform(9, 777.5f).offset[2], -19.999143600463867f);

  // Any sign slip in the nine products would break orthonormality or turn it into a reflection.
  for (int k = 0; k < kFogTransforms; ++k) {
    for (float t : {0.0f, 333.0f, 2500.5f}) {
      const auto& m = fog_transform(k, t).rows;
      for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
          const double d = m[a][0] * m[b][0] + m[a][1] * m[b][1] + m[a][2] * m[b][2];
          ASSERT_NEAR(d, a == b ? 1.0 : 0.0, 1e-6) << k << " " << t;
        }
      }
      const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
      ASSERT_NEAR(det, 1.0, 1e-5) << k << " " << t;
    }
  }
}

TEST(GridFogWeights, MatchValuesWorkedOutApartAndStayWithin1To63) {
  EXPECT_EQ(fog_weights(0.0f).red, 25);
  EXPECT_EQ(fog_weights(0.0f).green, 60);
  EXPECT_EQ(fog_weights(0.0f).blue, 56);
  EXPECT_EQ(fog_weights(500.0f).red, 61);
  EXPECT_EQ(fog_weights(500.0f).green, 14);
  EXPECT_EQ(fog_weights(2000.5f).blue, 28);
  for (float t = 0.0f; t < 20000.0f; t += 3.3f) {
    const FogWeights w = fog_weights(t);
    for (int v : {w.red, w.green, w.blue}) ASSERT_TRUE(v >= 1 && v <= 63) << t;
  }
}

// A plain view: grid x = x + tx, grid y = y + ty, at the depth that makes the scale 1.
FogTransform flat_view(float depth) {
  FogTransform m{};
  m.rows[0] = {1, 0, 0};
  m.rows[1] = {0, 1, 0};
  m.rows[2] = {0, 0, 0};
  m.offset = {0, 0, depth};
  return m;
}

TEST(GridFogProjection, DepthZeroLandsOnTheMiddleNode) {
  FogTransform m = flat_view(0.0f);
  m.offset[0] = 1000.0f;  // scaled by 0: no effect
  const auto cell = project_particle(m, {17, -30, 5});
  ASSERT_TRUE(cell.has_value());
  EXPECT_EQ(cell->row, 13);
  EXPECT_EQ(cell->column, 20);
  // View 0 at t = 0 has no depth offset (20 sin 0), so the origin has depth exactly 0.
  const auto origin = project_particle(fog_transform(0, 0.0f), {0, 0, 0});
  ASSERT_TRUE(origin.has_value());
  EXPECT_EQ(origin->row, 13);
  EXPECT_EQ(origin->column, 20);
}

TEST(GridFogProjection, TruncatesTowardsZeroAndKeepsOnlyTheGrid) {
  const FogTransform m = flat_view(20.5f);  // scale 1
  EXPECT_EQ(project_particle(m, {-21, 0, 0})->column, 0);  // -0.5 truncates to 0
  EXPECT_FALSE(project_particle(m, {-22, 0, 0}));          // -1.5
  EXPECT_EQ(project_particle(m, {20, 0, 0})->column, 40);  // 40.5
  EXPECT_FALSE(project_particle(m, {21, 0, 0}));           // 41.5
  EXPECT_EQ(project_particle(m, {0, -13, 0})->row, 0);
  EXPECT_FALSE(project_particle(m, {0, -14, 0}));
  EXPECT_EQ(project_particle(m, {0, 12, 0})->row, 25);
  EXPECT_FALSE(project_particle(m, {0, 13, 0}));
  // Behind the viewer the same scale applies.
  const auto behind = project_particle(flat_view(-20.5f), {5, -6, 0});
  ASSERT_TRUE(behind.has_value());
  EXPECT_EQ(behind->column, 25);
  EXPECT_EQ(behind->row, 7);
  // A depth next to 0 throws the point far off the grid without any undefined conversion.
  EXPECT_FALSE(project_particle(flat_view(1e-30f), {3, 0, 0}));
  EXPECT_FALSE(project_particle(flat_view(1e-38f), {0, 3, 0}));
  const auto still_centre = project_particle(flat_view(1e-38f), {0, 0, 0});  // inf x 0
  EXPECT_FALSE(still_centre);
}

TEST(GridFogAdditions, ADroppedAdditionLeavesRoomForASmallerOne) {
  GridNode node{29 * kOne, 60 * kOne, kOne};
  const FogWeights w{64, 64, 32};  // 64 adds the colour whole
  add_particle(node, ParticleColour{kOne, kOne, 2 * kOne}, w);  // red would reach 30.0: dropped
  EXPECT_EQ(node.red, 29 * kOne);
  EXPECT_EQ(node.green, 60 * kOne);  // 61.0 would be reached: dropped, independently
  EXPECT_EQ(node.blue, 2 * kOne);           // 1.0 + 2.0 x 32 / 64
  add_particle(node, ParticleColour{kOne - 1, kOne - 1, 0}, w);
  EXPECT_EQ(node.red, 30 * kOne - 1);
  EXPECT_EQ(node.green, 61 * kOne - 1);
  // (w x colour) >> 6 drops the low six bits: 7 x 9 = 63 adds nothing, 7 x 10 = 70 adds 1.
  GridNode small{kOne, kOne, kOne};
  add_particle(small, ParticleColour{9, 9, 9}, FogWeights{7, 7, 7});
  EXPECT_EQ(small.red, kOne);
  add_particle(small, ParticleColour{10, 10, 10}, FogWeights{7, 7, 7});
  EXPECT_EQ(small.red, kOne + 1);
}

class GridFogFill : public ::testing::Test {
 protected:
  void fill(float t) {
    fill_fog(grid, t, std::span<const ParticlePosition, kFogParticles>(positions.data(), kFogParticles),
             std::span<const ParticleColour, kFogParticles>(colours.data(), kFogParticles));
  }
  ColourGrid grid{};
  std::vector<ParticlePosition> positions = std::vector<ParticlePosition>(kFogParticles, ParticlePosition{0, 0, 0});
  std::vector<ParticleColour> colours = std::vector<ParticleColour>(kFogParticles, ParticleColour{kOne, kOne, kOne});
};

TEST_F(GridFogFill, NodesWithoutParticlesKeepOneAndNothingCarriesOver) {
  at(grid, 0, 0) = node_of(9, 9, 9);
  std::fill(colours.begin(), colours.end(), ParticleColour{0, 0, 0});
  fill(123.0f);
  EXPECT_TRUE(std::all_of(grid.begin(), grid.end(), [](const GridNode& n) {
    return n.red == kOne && n.green == kOne && n.blue == kOne;
  }));
}

TEST_F(GridFogFill, EveryViewStacksAllParticlesOnOneNodeUpToTheLimits) {
  // All particles at the origin: view k puts them at its offset, scaled by 20.5 / |tz|.
  const float t = 250.0f;
  fill(t);
  const FogWeights w = fog_weights(t);
  ColourGrid expected;
  expected.fill(GridNode{kOne, kOne, kOne});
  for (int k = 0; k < kFogTransforms; ++k) {
    const FogTransform m = fog_transform(k, t);
    const float scale = m.offset[2] == 0.0f ? 0.0f : 20.5f / std::fabs(m.offset[2]);
    const float gx = m.offset[0] * scale + 20.5f;
    const float gy = m.offset[1] * scale + 13.0f;
    if (gx <= -1.0f || gx >= 41.0f || gy <= -1.0f || gy >= 26.0f) continue;
    GridNode& n = at(expected, static_cast<int>(gy), static_cast<int>(gx));
    // 2000 equal additions of w x 1024: each channel climbs until its limit or the particles stop it.
    const auto stack = [](std::int32_t value, std::int32_t step, std::int32_t limit) {
      for (int p = 0; p < kFogParticles && value + step < limit; ++p) value += step;
      return value;
    };
    n.red = stack(n.red, w.red * 1024, 30 * kOne);
    n.green = stack(n.green, w.green * 1024, 61 * kOne);
    n.blue = stack(n.blue, w.blue * 1024, 30 * kOne);
  }
  int hit = 0;
  for (std::size_t i = 0; i < grid.size(); ++i) {
    ASSERT_EQ(grid[i].red, expected[i].red) << i;
    ASSERT_EQ(grid[i].green, expected[i].green) << i;
    ASSERT_EQ(grid[i].blue, expected[i].blue) << i;
    if (grid[i].red != kOne) ++hit;
  }
  EXPECT_GT(hit, 0);
}

TEST(GridFogLayers, BackgroundIsThePaletteColourCutTo565AndHalved) {
  std::vector<std::uint8_t> picture(kFramePixels, 1);
  picture[1] = 2;
  std::vector<std::uint8_t> palette(768, 0);
  const std::uint8_t colours[] = {0, 0, 0, 255, 255, 255, 0x9F, 0x47, 0xEE};
  std::copy(std::begin(colours), std::end(colours), palette.begin());
  std::vector<Rgb565> background(kFramePixels);
  build_half_background(std::span<const std::uint8_t, kFramePixels>(picture.data(), kFramePixels),
                        std::span<const std::uint8_t, 768>(palette.data(), 768),
                        std::span<Rgb565, kFramePixels>(background.data(), kFramePixels));
  EXPECT_EQ(background[0], 0x7BEF);  // white: 15, 31, 15
  // Cut to 19, 17, 29, then each component halved.
  EXPECT_EQ(background[1], pack565(9, 8, 14));
  EXPECT_EQ(background[kFramePixels - 1], 0x7BEF);
}

TEST(GridFogLayers, BlendHalvesTheFrameAndHalfOfTheGridOverTheBackground) {
  std::vector<Rgb565> frame(kFramePixels, 0xFFFF);
  std::vector<Rgb565> grid(kFramePixels, 0);
  std::vector<Rgb565> background(kFramePixels, 0);
  // Neighbours in one word stay apart.
  grid[0] = pack565(30, 62, 30);
  background[0] = pack565(8, 20, 3);
  grid[1] = 0xFFFF;
  background[1] = 0x7BEF;
  frame[1] = pack565(1, 1, 1);
  frame[kFramePixels - 1] = 0;
  grid[kFramePixels - 1] = pack565(31, 63, 31);
  const auto blend = [&] {
    blend_grid(std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels),
               std::span<const Rgb565, kFramePixels>(grid.data(), kFramePixels),
               std::span<const Rgb565, kFramePixels>(background.data(), kFramePixels));
  };
  blend();
  EXPECT_EQ(frame[0], pack565(15 + 11, 31 + 25, 15 + 9));  // half(15+8, 31+20, 15+3)
  EXPECT_EQ(frame[1], pack565(15, 31, 15));                  // 0 + half(15+15, 31+31, 15+15)
  EXPECT_EQ(frame[2], 0x7BEF);                               // white halves over a black layer
  EXPECT_EQ(frame[kFramePixels - 1], pack565(7, 15, 7));
  blend();
  EXPECT_EQ(frame[2], pack565(7, 15, 7));  // and halves again: the trail fades
}

}  // namespace
}  // namespace morvane
