#pragma once
// Lattice noise for the procedural pictures. Every function takes a period in lattice cells per
// axis: the pattern repeats after that many cells, so a texture whose width is a whole number of
// periods tiles without a seam. Results lie in [0, 1].
#include <cstdint>

namespace morvane::standin {

// Smoothly interpolated random lattice values.
float value_noise(float x, float y, int period_x, int period_y, std::uint32_t seed);

// Sum of octaves of value noise, each twice the frequency (and period) of the one before and
// `gain` times its weight; normalised back to [0, 1].
float fbm(float x, float y, int period_x, int period_y, int octaves, float gain, std::uint32_t seed);

// Distances from (x, y) to the nearest and second-nearest feature point of a cellular pattern
// with one jittered point per lattice cell (in lattice units), and that nearest cell's hash.
struct CellSample {
  float nearest;
  float second;
  std::uint32_t cell_hash;
};
CellSample cellular(float x, float y, int period_x, int period_y, std::uint32_t seed);

}  // namespace morvane::standin
