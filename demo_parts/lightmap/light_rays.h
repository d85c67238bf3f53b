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

struct Ray {
  std::int16_t target_x;  // set at load
  std::int16_t target_y;
  std::int16_t near_x;  // 3% of the way from the source to the target, set per frame
  std::int16_t near_y;
  std::uint8_t hidden;  // the near point is covered: no long ray
};

// 64000 bytes laid out like the light map's visible area; nonzero covers the pixel.
using MaskWindow = std::span<const std::uint8_t, kFramePixels>;

// A ray is a line of 2 x 2 blocks, each adding one level to its pixels on the screen, every sum
// limited to 63. Capped additions of positive amounts merge (63 caps the total as it caps each
// step), so a set of rays is gathered first as hits per block corner (the block's top-left
// pixel) and added to the light in one pass. Corners lie in 0..319 x 0..199 at index
// (y + 1) x 328 + x + 1: a row and a column of zeros stand for the blocks reaching into row 0
// and column 0 from above and from the left; rows of 328 cells keep 16-byte multiples, and a
// spare row below lets a line's walk end one step past the screen inside the grid.
inline constexpr int kLineMax = 63;
inline constexpr int kRayHitStride = kFrameWidth + 8;
inline constexpr int kRayHitCells = (kFrameHeight + 2) * kRayHitStride;
using RayHits = std::span<std::uint16_t, kRayHitCells>;

// Where a ray from (sx, sy) towards its target stops being short.
void place_near_point(Ray& ray, int sx, int sy);

// hits must be all zero, and is left so; at most 8191 rays.
void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy, RayHits hits);

// One hit at each block corner of the line from (x0, y0) towards (x1, y1) that lies on the
// screen, the end point itself not drawn. Nothing when the start lies outside 0..320 x 0..199;
// the line stops for good where it leaves 0..320 x 0..200. Each line hits a corner at most
// once; up to 8191 lines may be gathered.
void trace_thick_line(int x0, int y0, int x1, int y1, RayHits hits);

// Every pixel of light rows first_row..end_row - 1 gains the hits of the four blocks that cover
// it; a pixel with any hit becomes min(level + hits, 63), the others keep their level. The
// corners must lie within rows first_row - 1..end_row - 1. Where cover is nonzero the pixel is put
// out afterwards (an empty cover puts out nothing). Leaves hits all zero.
void add_ray_hits(LightView light, RayHits hits, std::span<const std::uint8_t> cover = {}, int first_row = 0,
                  int end_row = kFrameHeight);

// Where the light source's rays point: 1024 targets scattered +-320 pixels around an ellipse of
// radii 320 and 200 about the screen centre, one ray per 360/1024 degrees.
// Draws two numbers per ray from the program's generator, x then y; the other fields are left
// for the drawing to set.
void aim_rays(std::span<Ray, kRayCount> rays);

}  // namespace morvane
