#pragma once
// Glowing dots along three closed wobbling curves: each curve runs through 16 points on a
// ring around the screen centre, and a small dot picture is stamped 64 times along the spline
// through them, adding light up to level 127.
#include <array>
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

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

}  // namespace morvane
