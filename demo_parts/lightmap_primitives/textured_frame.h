#pragma once
// A square frame (a 32 x 32 ring around a 12 x 12 hole, eight triangles) that turns and zooms
// about a wandering centre, its texture's bytes written into the light map as light levels.
#include <array>
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

inline constexpr int kFrameTextureBytes = 256 * 256;
inline constexpr int kFrameVertices = 12;
inline constexpr int kFrameTriangles = 8;

using FrameTextureView = std::span<const std::uint8_t, kFrameTextureBytes>;

// Screen position and texture coordinates of one frame corner.
struct FrameVertex {
  int x;
  int y;
  int u;
  int v;
};

using FrameVertices = std::array<FrameVertex, kFrameVertices>;

// The corners for zoom a and angle b (degrees): turned, scaled by 1.8 - a and moved to a centre
// that swings 40 x (1 - a) pixels around the screen middle.
FrameVertices transform_frame_vertices(float a, float b);

// One triangle by the frame's fixed rule: sorted by row, with a zero-height edge made one row
// taller by moving its vertex (the move stays in the vertex array), walked in 16.16 fixed point
// and drawn one light-map row above each walked row.
void draw_frame_triangle(FrameVertex& p, FrameVertex& q, FrameVertex& r, LightView light, FrameTextureView texture);

// Nothing when a is exactly 1; otherwise the eight triangles in their fixed order.
void draw_textured_frame(float a, float b, LightView light, FrameTextureView texture);

}  // namespace morvane
