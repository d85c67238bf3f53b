#include "demo_parts/grid_fog/colour_grid.h"

#include <cmath>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

std::int32_t wave_value(double a, double b, double amplitude, double middle) {
  return trunc_to_int((a + b) * amplitude + middle) * kGridOne;
}

// The integer parts of one channel, kept modulo 256, packed as 5-6-5 (bits above 16 fall away).
Rgb565 pack(std::int32_t red, std::int32_t green, std::int32_t blue) {
  const unsigned r = static_cast<unsigned>(red >> 16) & 0xFF;
  const unsigned g = static_cast<unsigned>(green >> 16) & 0xFF;
  const unsigned b = static_cast<unsigned>(blue >> 16) & 0xFF;
  return static_cast<Rgb565>((r << 11) | (g << 5) | b);
}

}  // namespace

void fill_waves(ColourGrid& grid, float t) {
  const double time = t;
  // Each wave term depends on the column or on the row alone: compute those once per frame.
  std::array<double, kGridColumns> red_c, green_c, blue_c;
  for (int c = 0; c < kGridColumns; ++c) {
    const auto at = static_cast<std::size_t>(c);
    red_c[at] = std::sin((time + 3 * c) * kGridFogDegree);
    green_c[at] = std::sin((3 * c - 0.455 * time) * kGridFogDegree);
    blue_c[at] = std::sin((0.386 * time + 3 * c) * kGridFogDegree);
  }
  std::array<double, kGridRows> red_r, green_r, blue_r;
  for (int r = 0; r < kGridRows; ++r) {
    const auto at = static_cast<std::size_t>(r);
    red_r[at] = std::cos((4 * r + 0.755 * time) * kGridFogDegree);
    green_r[at] = std::cos((2.5 * r - time) * kGridFogDegree);
    blue_r[at] = std::sin((7 * r + time) * kGridFogDegree);
  }
  for (int r = 0; r < kGridRows; ++r) {
    const auto row = static_cast<std::size_t>(r);
    for (int c = 0; c < kGridColumns; ++c) {
      const auto column = static_cast<std::size_t>(c);
      GridNode& node = grid[static_cast<std::size_t>(grid_index(r, c))];
      node.red = wave_value(red_c[column], red_r[row], 7, 16);
      node.green = wave_value(green_c[column], green_r[row], 15, 32);
      node.blue = wave_value(blue_c[column], blue_r[row], 7, 16);
    }
  }
}

void interpolate_grid(const ColourGrid& grid, std::span<Rgb565, kFramePixels> image) {
  for (int br = 0; br + 1 < kGridRows; ++br) {
    for (int bc = 0; bc + 1 < kGridColumns; ++bc) {
      const GridNode& nw = grid[static_cast<std::size_t>(grid_index(br, bc))];
      const GridNode& ne = grid[static_cast<std::size_t>(grid_index(br, bc + 1))];
      const GridNode& sw = grid[static_cast<std::size_t>(grid_index(br + 1, bc))];
      const GridNode& se = grid[static_cast<std::size_t>(grid_index(br + 1, bc + 1))];
      // Per channel: the row start walks down the left edge, and the step across widens from
      // the top edge's to the bottom edge's.
      std::int32_t left_r = nw.red, left_g = nw.green, left_b = nw.blue;
      const std::int32_t down_r = (sw.red - nw.red) >> 3;
      const std::int32_t down_g = (sw.green - nw.green) >> 3;
      const std::int32_t down_b = (sw.blue - nw.blue) >> 3;
      std::int32_t across_r = (ne.red - nw.red) >> 3;
      std::int32_t across_g = (ne.green - nw.green) >> 3;
      std::int32_t across_b = (ne.blue - nw.blue) >> 3;
      const std::int32_t widen_r = (((se.red - sw.red) >> 3) - across_r) >> 3;
      const std::int32_t widen_g = (((se.green - sw.green) >> 3) - across_g) >> 3;
      const std::int32_t widen_b = (((se.blue - sw.blue) >> 3) - across_b) >> 3;

      Rgb565* out = image.data() + br * kGridCellSize * kFrameWidth + bc * kGridCellSize;
      for (int j = 0; j < kGridCellSize; ++j, out += kFrameWidth) {
        // Pixel i is i + 1 steps in: the first already carries one step, the eighth reaches the
        // right-hand node. The same sums as stepping one at a time, without the carried chain.
        for (int i = 0; i < kGridCellSize; ++i) {
          out[i] = pack(left_r + (i + 1) * across_r, left_g + (i + 1) * across_g, left_b + (i + 1) * across_b);
        }
        left_r += down_r;
        left_g += down_g;
        left_b += down_b;
        across_r += widen_r;
        across_g += widen_g;
        across_b += widen_b;
      }
    }
  }
}

}  // namespace morvane
