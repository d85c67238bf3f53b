// The grid-and-fog scene's kernels against values worked out apart (double precision, with the
// the stated float roundings): the particle draw, the waves, the grid spread, the fog and the blend.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo_parts/grid_fog/colour_grid.h"
#include "demo_parts/grid_fog/grid_blend.h"
#include "demo_parts/grid_fog/particle_fog.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

constexpr std::int32_t kOne = kGridOne;

GridNode node_of(int red, int green, int blue) { return GridNode{red * kOne, green * kOne, blue * kOne}; }
GridNode& at(ColourGrid& grid, int row, int column) { return grid[static_cast<std::size_t>(grid_index(row, column))]; }
constexpr Rgb565 pack565(int r, int g, int b) { return static_cast<Rgb565>((r << 11) | (g << 5) | b); }

TEST(GridFogParticles, SixDrawsPerParticleInOrder) {
  reset_demo_rand();
  std::vector<ParticlePosition> positions(kFogParticles);
  std::vector<ParticleColour> colours(kFogParticles);
  draw_particles(ParticlePositions(positions.data(), kFogParticles), ParticleColours(colours.data(), kFogParticles));
  // Draws 41, 18467, 6334 | 26500, 19169, 15724: -31.92 truncates towards zero.
  EXPECT_EQ((std::array{positions[0].x, positions[0].y, positions[0].z}), (std::array{-31, 4, -19}));
  EXPECT_EQ((std::array{colours[0].red, colours[0].green, colours[0].blue}), (std::array{530016, 805122, 314489}));
  EXPECT_EQ((std::array{positions[1].x, positions[1].y, positions[1].z}), (std::array{-9, 25, 20}));
  EXPECT_EQ(colours[1999].blue, 184945);
  EXPECT_EQ(demo_rand(), 23921);  // exactly 12000 drawn: the next load goes on from here
}

TEST(GridFogWaves, WholeNumbersWorkedOutApart) {
  ColourGrid grid{};
  struct Expected {
    float t;
    int row, column, red, green, blue;
  };
  for (const auto& c : {Expected{0.0f, 0, 0, 23, 47, 16}, Expected{0.0f, 25, 40, 20, 51, 22},
                        Expected{123.5f, 7, 11, 15, 21, 23}, Expected{1000.25f, 25, 0, 4, 5, 26},
                        Expected{4321.0f, 3, 39, 27, 35, 16}}) {
    fill_waves(grid, c.t);
    const GridNode& n = at(grid, c.row, c.column);
    EXPECT_EQ((std::array{n.red, n.green, n.blue}), (std::array{c.red * kOne, c.green * kOne, c.blue * kOne})) << c.t;
  }
}

TEST(GridFogImage, EachBlockStepsAcrossFromItsTopLeftNodeAndWidensDownwards) {
  ColourGrid grid;
  grid.fill(node_of(0, 0, 0));
  at(grid, 0, 1) = node_of(8, 16, 24);  // steps of 1, 2, 3 across cell (0, 0)
  at(grid, 1, 0) = node_of(16, 0, 0);   // the left edge walks down 2 per row
  std::vector<Rgb565> image(kFramePixels);
  interpolate_grid(grid, std::span<Rgb565, kFramePixels>(image.data(), kFramePixels));
  const auto pixel = [&](int x, int y) { return image[static_cast<std::size_t>(y * kFrameWidth + x)]; };
  // The first pixel already carries one step; the eighth reaches the right-hand node.
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixel(i, 0), pack565(i + 1, 2 * (i + 1), 3 * (i + 1))) << i;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(pixel(8 + i, 0), pack565(7 - i, 14 - 2 * i, 21 - 3 * i)) << i;
  // Row j starts at 2j (red) and each row's step moves an eighth of the way to the bottom
  // edge's: red 1 -> -2, so the row's eighth pixel is 2j + 8 (1 - 3j / 8) = 8 - j.
  for (int j = 0; j < 8; ++j) EXPECT_EQ(pixel(7, j), pack565(8 - j, 16 - 2 * j, 24 - 3 * j)) << j;
  EXPECT_EQ(pixel(0, 8), pack565(14, 0, 0));  // the next block row starts one step from node (1, 0)
}

TEST(GridFogImage, ShiftsAreArithmeticAndChannelsWrapAt256) {
  ColourGrid grid;
  grid.fill(GridNode{kOne, kOne, kOne});
  at(grid, 0, 1).red = kOne - 1;  // (-1) >> 3 stays -1: the very first pixel drops to 0
  std::vector<Rgb565> image(kFramePixels);
  const std::span<Rgb565, kFramePixels> view(image.data(), kFramePixels);
  interpolate_grid(grid, view);
  EXPECT_EQ(image[0], pack565(0, 1, 1));
  grid.fill(node_of(257, 96, 0));  // integer parts kept modulo 256, then OR-ed into place
  interpolate_grid(grid, view);
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](Rgb565 p) { return p == pack565(1, 32, 0); }));
}

TEST(GridFogViews, TransformsAndWeightsWorkedOutApartAndRotationsProper) {
  const FogTransform m = fog_transform(3, 100.0f);
  const std::array<std::array<float, 3>, 3> rows = {{{0.7492135167121887f, -0.657768964767456f, -0.07758314162492752f},
                                                      {0.36666929721832275f, 0.31436485052108765f, 0.875630259513855f},
                                                      {-0.5515729784965515f, -0.6844813823699951f, 0.47671008110046387f}}};
  EXPECT_EQ(m.rows, rows);
  EXPECT_EQ(m.offset, (std::array{17.45276641845703f, -16.132522583007812f, -16.88066291809082f}));
  EXPECT_EQ(fog_transform(9, 777.5f).offset[2], -19.999143600463867f);
  EXPECT_EQ((std::array{fog_weights(0.0f).red, fog_weights(0.0f).green, fog_weights(0.0f).blue}), (std::array{25, 60, 56}));
  EXPECT_EQ(fog_weights(500.0f).red, 61);
  // A sign slip in any of the nine products breaks orthonormality or makes a reflection.
  for (int k = 0; k < kFogTransforms; ++k) {
    const auto& r = fog_transform(k, 333.0f + 71.0f * k).rows;
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b < 3; ++b) {
        ASSERT_NEAR(r[a][0] * r[b][0] + r[a][1] * r[b][1] + r[a][2] * r[b][2], a == b ? 1.0 : 0.0, 1e-6) << k;
      }
    }
    const double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) - r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                       r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    ASSERT_NEAR(det, 1.0, 1e-5) << k;
  }
}

// grid x = x + tx, grid y = y + ty, scaled by 20.5 / |depth|.
FogTransform flat_view(float depth) {
  FogTransform m{};
  m.rows[0] = {1, 0, 0};
  m.rows[1] = {0, 1, 0};
  m.offset = {0, 0, depth};
  return m;
}

TEST(GridFogViews, ProjectionTruncatesTowardsZeroKeepsTheGridAndCentresDepthZero) {
  const FogTransform m = flat_view(20.5f);  // scale 1
  EXPECT_EQ(project_particle(m, {-21, -13, 0})->column, 0);  // -0.5 truncates to 0
  EXPECT_EQ(project_particle(m, {-21, -13, 0})->row, 0);
  EXPECT_FALSE(project_particle(m, {-22, 0, 0}));  // -1.5
  EXPECT_EQ(project_particle(m, {20, 12, 0})->column, 40);
  EXPECT_EQ(project_particle(m, {20, 12, 0})->row, 25);
  EXPECT_FALSE(project_particle(m, {21, 0, 0}));
  EXPECT_FALSE(project_particle(m, {0, 13, 0}));
  EXPECT_EQ(project_particle(flat_view(-20.5f), {5, -6, 0})->column, 25);  // behind: same scale
  // Depth exactly 0 lands on node (13, 20); view 0 at t = 0 has no depth offset.
  const auto origin = project_particle(fog_transform(0, 0.0f), {0, 0, 0});
  ASSERT_TRUE(origin);
  EXPECT_EQ(origin->row, 13);
  EXPECT_EQ(origin->column, 20);
  // Next to depth 0 the scale overflows to infinity (and 0 x inf is NaN): off the grid, safely.
  EXPECT_FALSE(project_particle(flat_view(1e-30f), {3, 0, 0}));
  EXPECT_FALSE(project_particle(flat_view(1e-38f), {0, 0, 0}));
}

TEST(GridFogFill, ADroppedAdditionLeavesRoomForASmallerOne) {
  GridNode node{29 * kOne, 60 * kOne, kOne};
  const FogWeights whole{64, 64, 32};
  add_particle(node, ParticleColour{kOne, kOne, 2 * kOne}, whole);
  EXPECT_EQ((std::array{node.red, node.green, node.blue}), (std::array{29 * kOne, 60 * kOne, 2 * kOne}));
  add_particle(node, ParticleColour{kOne - 1, kOne - 1, 0}, whole);
  EXPECT_EQ((std::array{node.red, node.green}), (std::array{30 * kOne - 1, 61 * kOne - 1}));
  add_particle(node, ParticleColour{9, 9, 9}, FogWeights{7, 7, 7});  // 63 >> 6 adds nothing
  EXPECT_EQ(node.blue, 2 * kOne);
}

TEST(GridFogFill, EveryViewStacksTheParticlesOnOneNodeUpToTheLimits) {
  // All particles at the origin: view k puts them at its offset, scaled by 20.5 / |tz|.
  std::vector<ParticlePosition> positions(kFogParticles, ParticlePosition{0, 0, 0});
  std::vector<ParticleColour> colours(kFogParticles, ParticleColour{kOne, kOne, kOne});
  const float t = 250.0f;
  ColourGrid grid;
  grid.fill(node_of(9, 9, 9));  // last frame's values do not carry over
  fill_fog(grid, t, std::span<const ParticlePosition, kFogParticles>(positions.data(), kFogParticles),
           std::span<const ParticleColour, kFogParticles>(colours.data(), kFogParticles));
  const FogWeights w = fog_weights(t);
  ColourGrid expected;
  expected.fill(node_of(1, 1, 1));
  const auto stack = [](std::int32_t& value, std::int32_t step, int limit) {
    for (int p = 0; p < kFogParticles && value + step < limit * kOne; ++p) value += step;
  };
  int hit = 0;
  for (int k = 0; k < kFogTransforms; ++k) {
    const FogTransform m = fog_transform(k, t);
    const float scale = m.offset[2] == 0.0f ? 0.0f : 20.5f / std::fabs(m.offset[2]);
    const float gx = m.offset[0] * scale + 20.5f, gy = m.offset[1] * scale + 13.0f;
    if (gx <= -1.0f || gx >= 41.0f || gy <= -1.0f || gy >= 26.0f) continue;
    GridNode& n = at(expected, static_cast<int>(gy), static_cast<int>(gx));
    stack(n.red, w.red * 1024, 30);
    stack(n.green, w.green * 1024, 61);
    stack(n.blue, w.blue * 1024, 30);
    ++hit;
  }
  EXPECT_GT(hit, 0);
  for (std::size_t i = 0; i < grid.size(); ++i) {
    ASSERT_EQ((std::array{grid[i].red, grid[i].green, grid[i].blue}),
              (std::array{expected[i].red, expected[i].green, expected[i].blue})) << i;
  }
}

TEST(GridFogLayers, BlendHalvesTheFrameAndHalfTheGridOverTheBackground) {
  std::vector<Rgb565> frame(kFramePixels, 0xFFFF), grid(kFramePixels, 0), background(kFramePixels, 0);
  grid[0] = pack565(30, 62, 30);
  background[0] = pack565(8, 20, 3);
  grid[1] = 0xFFFF;  // the neighbour in the same word stays apart
  background[1] = 0x7BEF;
  frame[1] = pack565(1, 1, 1);
  const auto blend = [&] {
    blend_grid(std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels),
               std::span<const Rgb565, kFramePixels>(grid.data(), kFramePixels),
               std::span<const Rgb565, kFramePixels>(background.data(), kFramePixels));
  };
  blend();
  EXPECT_EQ(frame[0], pack565(15 + 11, 31 + 25, 15 + 9));  // white half + half(15+8, 31+20, 15+3)
  EXPECT_EQ(frame[1], pack565(15, 31, 15));                  // 0 + half(15+15, 31+31, 15+15)
  EXPECT_EQ(frame[2], 0x7BEF);
  blend();
  EXPECT_EQ(frame[2], pack565(7, 15, 7));  // the trail fades by half a frame
}

}  // namespace
}  // namespace morvane
