#include "demo_parts/lightmap_primitives/glow_curves.h"

#include <algorithm>
#include <cmath>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr int kStampRight = kFrameWidth - 8;   // corners 0..311
constexpr int kStampBottom = kFrameHeight - 8;  // corners 0..191
constexpr int kSegmentStride = 4;               // stamps at t = 0, 0.25, 0.5, 0.75

double sin_degrees(double angle) { return std::sin(angle * kRadiansPerDegree); }
double cos_degrees(double angle) { return std::cos(angle * kRadiansPerDegree); }

CurvePoint ring_point(double angle, double radius_x, double radius_y) {
  return CurvePoint{static_cast<float>(160 + sin_degrees(angle) * radius_x),
                    static_cast<float>(100 + cos_degrees(angle) * radius_y)};
}

}  // namespace

void build_curve_weights(CurveWeightTable w0, CurveWeightTable w1, CurveWeightTable w2, CurveWeightTable w3) {
  for (int k = 0; k < kCurveWeightEntries; ++k) {
    // k / 16 and its powers are exact in single precision.
    const float t = static_cast<float>(k) / 16.0f;
    const float t2 = t * t;
    const float t3 = t2 * t;
    const auto at = static_cast<std::size_t>(k);
    w0[at] = (-t3 + 2 * t2 - t) / 2;
    w1[at] = (3 * t3 - 5 * t2 + 2) / 2;
    w2[at] = (-3 * t3 + 4 * t2 + t) / 2;
    w3[at] = (t3 - t2) / 2;
  }
}

void place_curve_points(float s, int a, CurvePointView points) {
  // The angles are sums of a float and whole numbers: single precision.
  const double r1 = sin_degrees(90 * s + 95);
  const double r2 = sin_degrees(90 * s + 135);
  const double angle = a;
  CurvePoint* c0 = points.data();
  CurvePoint* c1 = c0 + kCurvePoints;
  CurvePoint* c2 = c1 + kCurvePoints;
  for (int k = 0; k < kCurveKnots; ++k) {
    // k x a in double: the product of two ints could leave the int range for a huge angle.
    const double theta = k * angle;
    const double along = 22.5 * k;
    const double wobble_cos = cos_degrees(theta);
    const double wobble_sin = sin_degrees(theta);
    c0[k] = ring_point(along + 2 * angle, 100 * r1 + 20 * wobble_cos, 80 * r1 + 16 * wobble_cos);
    c1[k] = ring_point(along + 3 * angle, 100 * r1 + 20 * wobble_sin, 80 * r1 + 16 * wobble_sin);
    c2[k] = ring_point(along + 1.5 * angle, 100 * r2 + 20 * wobble_sin, 80 * r2 + 16 * wobble_sin);
  }
  for (CurvePoint* curve : {c0, c1, c2}) std::copy_n(curve, 4, curve + kCurveKnots);
}

void stamp_dot(LightView light, DotView dot, int x, int y) {
  for (int r = 0; r < kDotStamp; ++r) {
    std::uint8_t* target = light.data() + (y + r) * kFrameWidth + x;
    const std::uint8_t* source = dot.data() + r * kDotSide;
    for (int c = 0; c < kDotStamp; ++c) {
      const int sum = target[c] + source[c];
      target[c] = static_cast<std::uint8_t>(sum > kGlowCurveMax ? kGlowCurveMax : sum);
    }
  }
}

void draw_glow_curves(float s, int a, LightView light, DotView dot, const CurveWeights& weights, CurvePointView points) {
  place_curve_points(s, a, points);
  for (int curve = 0; curve < kGlowCurves; ++curve) {
    const CurvePoint* p = points.data() + curve * kCurvePoints;
    for (int i = 0; i < kCurveKnots; ++i, ++p) {
      for (int k = 0; k < kCurveWeightEntries; k += kSegmentStride) {
        const auto at = static_cast<std::size_t>(k);
        const float w0 = weights.w0[at], w1 = weights.w1[at], w2 = weights.w2[at], w3 = weights.w3[at];
        // The weighted sums are single precision (floats times floats); the offset of half the
        // stamp is then taken off in double.
        const float sx = w0 * p[0].x + w1 * p[1].x + w2 * p[2].x + w3 * p[3].x;
        const float sy = w0 * p[0].y + w1 * p[1].y + w2 * p[2].y + w3 * p[3].y;
        const int xs = trunc_to_int(sx - 4.5);
        const int ys = trunc_to_int(sy - 4.5);
        if (xs >= 0 && xs < kStampRight && ys >= 0 && ys < kStampBottom) stamp_dot(light, dot, xs, ys);
      }
    }
  }
}

}  // namespace morvane
