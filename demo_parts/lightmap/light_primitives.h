#pragma once
// What the light-map scene draws into its light maps: glowing curves, the textured frame, the
// additive blit and the lens flare built on it.
#include <array>
#include <cstdint>
#include <span>

#include "demo_parts/lightmap/light_map_kernels.h"

namespace morvane {

// Glowing dots along three closed wobbling curves: each curve runs through 16 points on a
// ring around the screen centre, and a small dot picture is stamped 64 times along the spline
// through them, adding light up to level 127.
inline constexpr int kCurveWeightEntries = 16;
inline constexpr int kGlowCurves = 3;
inline constexpr int kCurveKnots = 16;
// The first three points repeat after the 16 knots and close the curve.
inline constexpr int kCurvePoints = kCurveKnots + 4;
inline constexpr int kCurvePointStore = kGlowCurves * kCurvePoints;
inline constexpr int kDotSide = 10;
// Only the top-left 9 x 9 of the dot is stamped.
inline constexpr int kDotStamp = 9;
inline constexpr int kGlowCurveMax = 127;

struct CurvePoint {
  float x;
  float y;
};

using CurveWeightTable = std::span<float, kCurveWeightEntries>;
// The Catmull-Rom basis at t = k / 16: w0 weighs the point before the segment, w3 the one after.
struct CurveWeights {
  std::span<const float, kCurveWeightEntries> w0;
  std::span<const float, kCurveWeightEntries> w1;
  std::span<const float, kCurveWeightEntries> w2;
  std::span<const float, kCurveWeightEntries> w3;
};
using CurvePointView = std::span<CurvePoint, kCurvePointStore>;
using DotView = std::span<const std::uint8_t, kDotSide * kDotSide>;

void build_curve_weights(CurveWeightTable w0, CurveWeightTable w1, CurveWeightTable w2, CurveWeightTable w3);

// Sets the points of the three curves for size s and angle a (degrees): point k of curve c is
// at points[c x 20 + k]. Exposed for tests; draw_glow_curves calls it.
void place_curve_points(float s, int a, CurvePointView points);

// Adds the dot at (x, y), each byte sum limited to 127. Requires 0 <= x < 312, 0 <= y < 192.
void stamp_dot(LightView light, DotView dot, int x, int y);

// Places the points, then stamps the dot at t = 0, 1/4, 1/2 and 3/4 of every segment of every
// curve; a stamp whose corner lies outside 0..311 x 0..191 is skipped whole.
void draw_glow_curves(float s, int a, LightView light, DotView dot, const CurveWeights& weights, CurvePointView points);

// A square frame (a 32 x 32 ring around a 12 x 12 hole, eight triangles) that turns and zooms
// about a wandering centre, its texture's bytes written into the light map as light levels.
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

// Adds a rectangle of one byte picture onto another, clipped to a 320 x 200 destination, each
// byte sum (kept to 8 bits) limited to cap - 1.
struct BlitRect {
  int x;  // destination corner
  int y;
  int source_x;
  int source_y;
  int width;  // taken as 8-bit counts
  int height;
};

// Rows are destination_stride and source_stride bytes apart. A rectangle that would reach
// outside either span after clipping is not drawn.
void add_blit(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, BlitRect rect, int cap,
              int destination_stride, int source_stride);

// Lens flare: five flare images added along the line from the light source towards its mirror
// image through the screen centre.
inline constexpr int kFlareWidth = 160;
inline constexpr int kFlareHeight = 100;
inline constexpr int kFlareImages = 5;
inline constexpr int kFlareSheetBytes = kFlareWidth * kFlareHeight * kFlareImages;
inline constexpr int kFlareCap = 64;

// Five images of 160 x 100 stacked: image f at rows 100 f .. 100 f + 99.
using FlareSheetView = std::span<const std::uint8_t, kFlareSheetBytes>;

// Image f is centred at f / 5 of the way from (x0, y0) towards (x1, y1), added with sums
// limited to 63 and clipped to the screen.
void draw_lens_flare(LightView light, FlareSheetView flares, int x0, int y0, int x1, int y1);

}  // namespace morvane
