#include "demo_parts/flight/flight_camera.h"

#include <cmath>

#include "engine/camera_view.h"

namespace morvane {
namespace {

// Degrees to radians as the path's formulas write it; the path is worked out in double
// precision and only the results are stored as the camera's floats.
constexpr double kDegrees = 0.017453293;

float degrees_cos(double angle, double radius) { return static_cast<float>(std::cos(angle * kDegrees) * radius); }
float degrees_sin(double angle, double radius) { return static_cast<float>(std::sin(angle * kDegrees) * radius); }

}  // namespace

void place_flight_camera(Camera& camera, float t) {
  const double s = t;
  camera.field_of_view = lens_to_field_of_view(45.0f);
  // One roll cycle every 9000 ticks; the argument is already in radians.
  camera.roll = static_cast<float>(std::cos(s * 0.0006981317) * 180);
  camera.target = {degrees_cos(s * 0.48 + 120, 160), degrees_sin(s * 0.42 + 240, 160),
                   degrees_sin(s * 0.665 + 360, 160)};
  camera.position = {degrees_sin(s * 0.6175, 660), degrees_sin(s * 0.712 + 120, 660),
                     degrees_sin(s * 0.656 + 240, 660)};
}

}  // namespace morvane
