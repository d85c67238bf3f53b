#pragma once
// The grid-and-fog kernels: the coarse grid of colour nodes and its waves, the particle fog
// that colours it, and the spreading of the grid over the frame onto the dimmed background.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "contracts/pixel.h"
#include "demo_parts/half_blend.h"

namespace morvane {

// The coarse colour grid of the grid-and-fog scene: 26 rows of 41 nodes, each 8 pixels from the
// next, so that 25 x 40 cells of 8 x 8 pixels cover the frame. Colour lives only at the nodes;
// the frame between them is filled by incremental 16.16 interpolation.
inline constexpr int kGridRows = 26;
inline constexpr int kGridColumns = 41;
inline constexpr int kGridNodes = kGridRows * kGridColumns;
inline constexpr int kGridCellSize = 8;
inline constexpr std::int32_t kGridOne = 0x10000;  // 1.0 in 16.16

static_assert((kGridColumns - 1) * kGridCellSize == kFrameWidth);
static_assert((kGridRows - 1) * kGridCellSize == kFrameHeight);

// One node: red and blue on the 0..31 scale, green on 0..63, all 16.16 fixed point.
struct GridNode {
  std::int32_t red;
  std::int32_t green;
  std::int32_t blue;
};

// Node (row, column) at row x 41 + column.
using ColourGrid = std::array<GridNode, kGridNodes>;

constexpr int grid_index(int row, int column) { return row * kGridColumns + column; }

// The first phase's colour waves at local time t: every value a whole number (red and blue
// 2..30, green 2..62).
void fill_waves(ColourGrid& grid, float t);

// Spreads the grid over the frame-sized image, each cell an 8 x 8 block stepped across and
// down from its top-left node; every channel's integer part is kept modulo 256.
void interpolate_grid(const ColourGrid& grid, std::span<Rgb565, kFramePixels> image);

// The grid-and-fog scene's second phase: a cloud of coloured particles, drawn ten times under
// ten rotations that follow the song time, each particle adding its colour to the grid node it
// projects onto.
inline constexpr int kFogParticles = 2000;
inline constexpr int kFogTransforms = 10;

// Integer coordinates, each -32..32.
struct ParticlePosition {
  std::int32_t x, y, z;
};
// Intensities in 16.16: red and blue 0..10.0, green 0..21.0.
struct ParticleColour {
  std::int32_t red, green, blue;
};

using ParticlePositions = std::span<ParticlePosition, kFogParticles>;
using ParticleColours = std::span<ParticleColour, kFogParticles>;

// Draws six numbers per particle from the program's generator: x, y, z, red, green, blue.
void draw_particles(ParticlePositions positions, ParticleColours colours);

// One of the ten views: a rotation (rows for grid x, grid y and depth) and a translation.
struct FogTransform {
  std::array<std::array<float, 3>, 3> rows;
  std::array<float, 3> offset;
};

FogTransform fog_transform(int k, float t);

// The frame's colour weights, each 1..63 (a weight of 64 would add a particle's colour whole).
struct FogWeights {
  std::int32_t red, green, blue;
};

FogWeights fog_weights(float t);

struct GridCell {
  int row, column;
};

// The node a particle lands on, or nullopt when it falls outside the grid. A depth of exactly 0
// lands on the middle node (13, 20); points behind the viewer are projected like those in front.
std::optional<GridCell> project_particle(const FogTransform& transform, const ParticlePosition& position);

// Adds one particle's weighted colour to a node; a channel that would reach its limit (30.0 for
// red and blue, 61.0 for green) keeps its old value.
void add_particle(GridNode& node, const ParticleColour& colour, const FogWeights& weights);

// The fog at local time t: every node starts at 1.0, then every transform in turn projects
// every particle in turn.
void fill_fog(ColourGrid& grid, float t, std::span<const ParticlePosition, kFogParticles> positions,
              std::span<const ParticleColour, kFogParticles> colours);

// The grid-and-fog scene's layers: the background picture at half brightness, and the blend that
// lays half the grid image over it and averages the result into the frame shown before.
inline constexpr int kGridFogPaletteBytes = 768;

// Each picture index as its palette colour cut to 5-6-5, then halved.
void build_half_background(std::span<const std::uint8_t, kFramePixels> picture,
                           std::span<const std::uint8_t, kGridFogPaletteBytes> palette,
                           std::span<Rgb565, kFramePixels> background);

// frame = half(frame) + half(half(grid image) + background), two pixels per 32-bit word.
void blend_grid(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> grid_image,
                std::span<const Rgb565, kFramePixels> background);

}  // namespace morvane
