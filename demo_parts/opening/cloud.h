#pragma once
// The opening scene's point cloud: a rotation and offset that follow the song time, and the
// projection that stamps each point's sprite into the glow layer.
#include <array>
#include <optional>
#include <span>

#include "demo_parts/opening/glow.h"

namespace morvane {

inline constexpr int kCloudPoints = 2024;

struct CloudPoint {
  float x, y, z;
};

// Rows of the rotation (coefficients of x, y, z) for screen x, screen y and depth, and the
// offset added to each row's result.
struct CloudTransform {
  std::array<double, 3> x_row, y_row, depth_row;
  std::array<double, 3> offset;
};

struct StampPosition {
  int x, y;
};

CloudTransform cloud_transform(float t, int point_count);

// Where the point's sprite goes, or nullopt when its corner lies outside 0..311 x 0..191 (or
// cannot be represented as an integer at all).
std::optional<StampPosition> project_point(const CloudTransform& transform, const CloudPoint& point);

// Stamps every point that projects inside the stamping area.
void stamp_cloud(GlowView glow, SpriteView sprite, std::span<const CloudPoint> points,
                 const CloudTransform& transform);

}  // namespace morvane
