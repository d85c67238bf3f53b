#pragma once
// The grid-and-fog scene's second phase: a cloud of coloured particles, drawn ten times under
// ten rotations that follow the song time, each particle adding its colour to the grid node it
// projects onto.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "demo_parts/grid_fog/colour_grid.h"

namespace morvane {

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

}  // namespace morvane
