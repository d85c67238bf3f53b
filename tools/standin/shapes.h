#pragma once
// Signed distances (negative inside) of the simple 2D shapes the pictures are built from, and
// the anti-aliased coverage of a pixel by a shape.
#include <cmath>
#include <span>

#include "tools/standin/canvas.h"

namespace morvane::standin {

struct Vec2 {
  float x = 0, y = 0;
};
constexpr Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
constexpr Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
constexpr Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
constexpr float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }
inline Vec2 rotate(Vec2 a, float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  return {a.x * c - a.y * s, a.x * s + a.y * c};
}

inline float sd_circle(Vec2 p, Vec2 centre, float radius) { return length(p - centre) - radius; }

// A stroke of the given half width around segment a-b, with round ends.
inline float sd_capsule(Vec2 p, Vec2 a, Vec2 b, float half_width) {
  const Vec2 pa = p - a, ba = b - a;
  const float len2 = dot(ba, ba);
  const float h = len2 > 0 ? clamp01(dot(pa, ba) / len2) : 0.0f;
  return length(pa - ba * h) - half_width;
}

// Axis-aligned box given by its centre and half sizes.
inline float sd_box(Vec2 p, Vec2 centre, Vec2 half) {
  const float dx = std::fabs(p.x - centre.x) - half.x;
  const float dy = std::fabs(p.y - centre.y) - half.y;
  const float ox = dx > 0 ? dx : 0, oy = dy > 0 ? dy : 0;
  const float inside = dx > dy ? dx : dy;
  return std::sqrt(ox * ox + oy * oy) + (inside < 0 ? inside : 0);
}

// Regular hexagon with a flat top, given its centre and inner radius.
float sd_hexagon(Vec2 p, Vec2 centre, float inner_radius);

// Simple polygon (even-odd rule), vertices in either order.
float sd_polygon(Vec2 p, std::span<const Vec2> vertices);

// Fraction of a pixel covered by a shape at signed distance d, for edges `softness` pixels wide.
constexpr float coverage(float d, float softness = 1.0f) { return clamp01(0.5f - d / softness); }

}  // namespace morvane::standin
