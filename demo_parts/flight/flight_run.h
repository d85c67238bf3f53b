#pragma once
// One run of the camera flight: the flat-shaded scene with trails until the flash, then the
// picture reveal at display size.
#include <cstdint>
#include <span>

#include "demo_parts/flight/flight_kernels.h"
#include "engine/records.h"
#include "contracts/pixel.h"

namespace morvane {

class Scene;

inline constexpr std::uint8_t kFlightFlashEvent = 197;
inline constexpr int kFlightLastOrder = 16;

struct FlightAssets {
  Scene* scene;
  // The first entry of the scene's camera table: the one the flight moves.
  Camera* camera;
  std::span<Rgb565, kFramePixels> render;
  std::span<const Pixel32, kFadeEntries> fade;
  std::span<const std::uint8_t, kFramePixels> picture;
};

class FlightRun {
 public:
  explicit FlightRun(const FlightAssets& assets) : assets_(assets) {}

  // Before the first frame: the frame and the render frame start white.
  void begin(std::span<Rgb565, kFramePixels> frame);
  // Moves the camera to local time t, renders the scene on black and averages it into frame.
  void draw_flight_frame(float t, std::span<Rgb565, kFramePixels> frame);
  // The flash at local time t: both frames white, and the reveal timed from t.
  void flash(float t, std::span<Rgb565, kFramePixels> frame);
  // One reveal frame at local time t into the display-sized buffer.
  void draw_reveal_frame(float t, std::span<Pixel32, kDisplayPixels> pixels);

  float zoom_end() const { return zoom_end_; }
  float fade_end() const { return fade_end_; }
  // The view of the reveal frame last drawn.
  const RevealView& view() const { return view_; }

 private:
  FlightAssets assets_;
  float zoom_end_ = 0.0f;
  float fade_end_ = 0.0f;
  RevealView view_{};
};

}  // namespace morvane
