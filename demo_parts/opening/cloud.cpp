#include "demo_parts/opening/cloud.h"

#include <cmath>

namespace morvane {
namespace {

constexpr int kStampRight = kFrameWidth - 8;   // columns 0..311
constexpr int kStampBottom = kFrameHeight - 8;  // rows 0..191

double dot(const std::array<double, 3>& row, const CloudPoint& p) { return row[0] * p.x + row[1] * p.y + row[2] * p.z; }

// trunc(value) as a coordinate in [0, limit), checked before the conversion so that any
// double, however large or NaN, is safe.
std::optional<int> stamp_coordinate(double value, int limit) {
  if (!(value > -1.0 && value < static_cast<double>(limit))) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

CloudTransform cloud_transform(float t, int point_count) {
  const float u = t * static_cast<float>(point_count);
  const double a1 = 2 * std::sin(u * 1.0796206938262357e-6);
  const double a2 = 2 * std::cos(u * 2.6473127236793477e-6);
  const double a3 = 2 * std::sin(u * 7.295200534960027e-7);
  const double s1 = std::sin(a1), c1 = std::cos(a1);
  const double s2 = std::sin(a2), c2 = std::cos(a2);
  const double s3 = std::sin(a3), c3 = std::cos(a3);
  CloudTransform m;
  m.x_row = {s3 * s2 * s1 + c3 * c1, s3 * c2, c3 * s1 - s3 * s2 * c1};
  m.y_row = {c3 * s2 * s1 - s3 * c1, c3 * c2, -c3 * s2 * c1 - s3 * s1};
  m.depth_row = {-c2 * s1, s2, c2 * c1};
  m.offset = {50 * std::sin(t * 0.0029169688600301745), 50 * std::cos(t * 0.003075968359311422),
              50 * std::sin(t * 0.00269443937420845)};
  return m;
}

std::optional<StampPosition> project_point(const CloudTransform& m, const CloudPoint& p) {
  const double depth = dot(m.depth_row, p) + m.offset[2];
  // A point exactly at depth 0 collapses onto the centre rather than dividing by zero.
  const double w = depth == 0.0 ? 0.0 : 256 / std::fabs(depth);
  const auto x = stamp_coordinate(w * (dot(m.x_row, p) + m.offset[0]) + 160, kStampRight);
  if (!x) return std::nullopt;
  const auto y = stamp_coordinate(w * (dot(m.y_row, p) + m.offset[1]) + 100, kStampBottom);
  if (!y) return std::nullopt;
  return StampPosition{*x, *y};
}

void stamp_cloud(GlowView glow, SpriteView sprite, std::span<const CloudPoint> points, const CloudTransform& m) {
  for (const CloudPoint& p : points) {
    if (const auto at = project_point(m, p)) stamp_sprite(glow, sprite, at->x, at->y);
  }
}

}  // namespace morvane
