#pragma once
// The camera of the flight scene as the show moves it, tick by tick, and a simple pinhole view
// of it: the scene's generator uses them to order meshes and faces for the views that will
// actually be seen.
#include "tools/standin/vec3.h"

namespace morvane::standin {

struct CameraPose {
  Vec3 position;
  Vec3 target;
  float roll_degrees;
};

// Pose at t ticks after the flight starts (engine axes, y up).
CameraPose flight_camera(float t);

// A view of a pose: camera-space depth and screen coordinates (pixels from the screen centre,
// y up) with the flight's 53.33 degree horizontal field of view on a 320 x 200 screen.
class View {
 public:
  explicit View(const CameraPose& pose);

  float depth(Vec3 p) const { return dot(p - eye_, forward_); }
  // Screen position of a point in front of the camera (depth above 1).
  float screen_x(Vec3 p) const;
  float screen_y(Vec3 p) const;
  static constexpr float kScaleX = 319.99f;  // 160 / tan(26.67 degrees)
  static constexpr float kScaleY = 266.66f;  // 133.33 / tan(26.67 degrees)

 private:
  Vec3 eye_, forward_, right_, up_;
};

}  // namespace morvane::standin
