#pragma once
// A line of 2 x 2 blocks whose light adds up to level 63: the rays of the light source.
#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

inline constexpr int kLineMax = 63;

// From (x0, y0) towards (x1, y1), the end point itself not drawn. Nothing when the start lies
// outside 0..320 x 0..199; the line stops for good where it leaves 0..320 x 0..200. Each step
// adds amount to the block's pixels that lie on the screen, each sum limited to 63.
void draw_thick_line(int x0, int y0, int x1, int y1, int amount, LightView light);

}  // namespace morvane
