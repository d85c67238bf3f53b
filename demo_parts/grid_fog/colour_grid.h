#pragma once
// The coarse colour grid of the grid-and-fog scene: 26 rows of 41 nodes, each 8 pixels from the
// next, so that 25 x 40 cells of 8 x 8 pixels cover the frame. Colour lives only at the nodes;
// the frame between them is filled by incremental 16.16 interpolation.
#include <array>
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kGridRows = 26;
inline constexpr int kGridColumns = 41;
inline constexpr int kGridNodes = kGridRows * kGridColumns;
inline constexpr int kGridCellSize = 8;
inline constexpr std::int32_t kGridOne = 0x10000;  // 1.0 in 16.16
// One degree in radians, the single-precision value both phases' angles are scaled by.
inline constexpr double kGridFogDegree = 0.017453293005625408;

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

}  // namespace morvane
