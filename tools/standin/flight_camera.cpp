#include "tools/standin/flight_camera.h"

#include <cmath>

namespace morvane::standin {

namespace {
constexpr float kDegrees = 0.017453293f;
}

CameraPose flight_camera(float t) {
  CameraPose pose;
  pose.roll_degrees = std::cos(t * 0.0006981317f) * 180.0f;
  pose.target = {std::cos((t * 0.48f + 120.0f) * kDegrees) * 160.0f, std::sin((t * 0.42f + 240.0f) * kDegrees) * 160.0f,
                 std::sin((t * 0.665f + 360.0f) * kDegrees) * 160.0f};
  pose.position = {std::sin(t * 0.6175f * kDegrees) * 660.0f, std::sin((t * 0.712f + 120.0f) * kDegrees) * 660.0f,
                   std::sin((t * 0.656f + 240.0f) * kDegrees) * 660.0f};
  return pose;
}

View::View(const CameraPose& pose) : eye_(pose.position) {
  forward_ = normalise(pose.target - pose.position);
  // Any world direction not along the view line gives a basis; pick the one farther from it.
  const Vec3 world_up = std::fabs(forward_.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  right_ = normalise(cross(world_up, forward_));
  up_ = cross(forward_, right_);
  // Roll turns the picture about the view line.
  const float r = -pose.roll_degrees * kDegrees;
  const float c = std::cos(r), s = std::sin(r);
  const Vec3 right = right_ * c + up_ * s;
  const Vec3 up = up_ * c - right_ * s;
  right_ = right;
  up_ = up;
}

float View::screen_x(Vec3 p) const { return kScaleX * dot(p - eye_, right_) / depth(p); }
float View::screen_y(Vec3 p) const { return kScaleY * dot(p - eye_, up_) / depth(p); }

}  // namespace morvane::standin
