#include "tools/standin/shapes.h"

#include <algorithm>

namespace morvane::standin {

float sd_hexagon(Vec2 p, Vec2 centre, float r) {
  // Folding into one sector, then measuring against its one edge.
  constexpr float kx = -0.866025404f, ky = 0.5f, kz = 0.577350269f;
  Vec2 q{std::fabs(p.x - centre.x), std::fabs(p.y - centre.y)};
  const float f = 2.0f * std::min(kx * q.x + ky * q.y, 0.0f);
  q.x -= f * kx;
  q.y -= f * ky;
  const float cx = std::clamp(q.x, -kz * r, kz * r);
  const Vec2 d{q.x - cx, q.y - r};
  const float len = length(d);
  return d.y < 0 ? -len : len;
}

float sd_polygon(Vec2 p, std::span<const Vec2> v) {
  const std::size_t n = v.size();
  if (n == 0) return 1e9f;
  float d = dot(p - v[0], p - v[0]);
  bool inside = false;
  for (std::size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    const Vec2 e = v[j] - v[i];
    const Vec2 w = p - v[i];
    const float len2 = dot(e, e);
    const float h = len2 > 0 ? clamp01(dot(w, e) / len2) : 0.0f;
    const Vec2 b = w - e * h;
    d = std::min(d, dot(b, b));
    const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
  }
  return inside ? -std::sqrt(d) : std::sqrt(d);
}

}  // namespace morvane::standin
