#include "demo_parts/flight/flight_run.h"

#include <algorithm>

#include "demo_parts/half_blend.h"
#include "engine/render.h"
#include "engine/scene.h"

namespace morvane {
namespace {

constexpr Rgb565 kWhite = 0xFFFF;

}  // namespace

void FlightRun::begin(std::span<Rgb565, kFramePixels> frame) {
  std::fill(frame.begin(), frame.end(), kWhite);
  std::fill(assets_.render.begin(), assets_.render.end(), kWhite);
}

void FlightRun::draw_flight_frame(float t, std::span<Rgb565, kFramePixels> frame) {
  std::fill(assets_.render.begin(), assets_.render.end(), Rgb565{0});
  assets_.scene->set_target_frame(assets_.render);
  place_flight_camera(*assets_.camera, t);
  render_scene(*assets_.scene);
  blend_trail(frame, assets_.render);
}

void FlightRun::flash(float t, std::span<Rgb565, kFramePixels> frame) {
  begin(frame);
  zoom_end_ = t + kRevealZoomTicks;
  fade_end_ = t + kRevealFadeTicks;
}

void FlightRun::draw_reveal_frame(float t, std::span<Pixel32, kDisplayPixels> pixels) {
  view_ = reveal_view(t, zoom_end_, fade_end_);
  draw_reveal(view_, assets_.picture, assets_.fade, pixels);
}

}  // namespace morvane
