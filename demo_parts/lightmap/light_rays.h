#pragma once
// Rays of light from a source behind a mask: where the 1024 rays point, and their drawing as
// lines of 2 x 2 blocks, short rays everywhere, the covered pixels put out, then long rays from
// every near point that the mask does not cover.
#include <cstdint>
#include <span>

#include "demo_parts/lightmap/light_map_kernels.h"

namespace morvane {

// Rays of light from a source behind a mask: short rays everywhere, the covered pixels put out,
// then long rays from every near point that the mask does not cover.
inline constexpr int kRayCount = 1024;
inline constexpr int kRayAmount = 1;

struct Ray {
  std::int16_t target_x;  // set at load
  std::int16_t target_y;
  std::int16_t near_x;  // 3% of the way from the source to the target, set per frame
  std::int16_t near_y;
  std::uint8_t hidden;  // the near point is covered: no long ray
};

// 64000 bytes laid out like the light map's visible area; nonzero covers the pixel.
using MaskWindow = std::span<const std::uint8_t, kFramePixels>;

// Where a ray from (sx, sy) towards its target stops being short.
void place_near_point(Ray& ray, int sx, int sy);

void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy);

// A line of 2 x 2 blocks whose light adds up to level 63: the rays of the light source.
inline constexpr int kLineMax = 63;

// From (x0, y0) towards (x1, y1), the end point itself not drawn. Nothing when the start lies
// outside 0..320 x 0..199; the line stops for good where it leaves 0..320 x 0..200. Each step
// adds amount to the block's pixels that lie on the screen, each sum limited to 63.
void draw_thick_line(int x0, int y0, int x1, int y1, int amount, LightView light);

// Where the light source's rays point: 1024 targets scattered +-320 pixels around an ellipse of
// radii 320 and 200 about the screen centre, one ray per 360/1024 degrees.
// Draws two numbers per ray from the program's generator, x then y; the other fields are left
// for the drawing to set.
void aim_rays(std::span<Ray, kRayCount> rays);

}  // namespace morvane
