#include "engine/camera_view.h"

#include <algorithm>
#include <cmath>

#include "engine/scene.h"

namespace morvane {
namespace {

struct LensRow {
  float lens;
  float field_of_view;
};

constexpr LensRow kLenses[] = {
    {15.0f, 115.0f}, {20.0f, 94.285713f}, {24.0f, 84.0f}, {28.0f, 76.363640f}, {35.0f, 63.0f},
    {50.0f, 46.0f},  {85.0f, 28.0f},      {135.0f, 18.0f}, {200.0f, 12.0f},
};

constexpr float kDegreesToRadians = 0.017453293f;

}  // namespace

float lens_to_field_of_view(float lens) {
  for (const LensRow& row : kLenses) {
    if (row.lens == lens) return row.field_of_view;
  }
  return 15.0f / lens * 160.0f;
}

void update_camera(Camera& camera) {
  const Vec3 d = subtract(camera.target, camera.position);
  const float distance = length(d);

  const float t = std::tan(camera.field_of_view * 0.5f * kDegreesToRadians);
  camera.projection_scale_x = (static_cast<float>(Scene::kViewportWidth) * 0.5f) / t;
  camera.projection_scale_y = (static_cast<float>(Scene::kViewportHeight) * 0.5f / camera.aspect) / t;

  const float yaw = -std::atan2(d.x, d.z);
  // Rounding can push the ratio a hair past 1; a zero-length view direction has no pitch.
  const float pitch = distance > 0.0f ? std::asin(std::clamp(d.y / distance, -1.0f, 1.0f)) : 0.0f;
  const float roll = camera.roll * (-3.1415927f) * 0.0055555556f;

  const float sy = std::sin(yaw), cy = std::cos(yaw);
  const float sp = std::sin(pitch), cp = std::cos(pitch);
  const float sr = std::sin(roll), cr = std::cos(roll);

  Matrix34 rotation;
  rotation.at(0, 0) = cr * cy + sr * sp * sy;
  rotation.at(0, 1) = sr * cp;
  rotation.at(0, 2) = cr * sy - sr * sp * cy;
  rotation.at(1, 0) = cr * sp * sy - sr * cy;
  rotation.at(1, 1) = cr * cp;
  rotation.at(1, 2) = -cr * sp * cy - sr * sy;
  rotation.at(2, 0) = -cp * sy;
  rotation.at(2, 1) = sp;
  rotation.at(2, 2) = cp * cy;
  camera.view = place(rotation, negate(camera.position));
}

}  // namespace morvane
