#include "demo_parts/finale/finale_run.h"

#include <algorithm>

#include "demo_parts/float_to_int.h"
#include "demo_parts/half_blend.h"
#include "demo_parts/kernel_constants.h"

namespace morvane {
namespace {

constexpr int kLastBeatCounter = 280;
constexpr int kBeatCounterStep = 3;
// Three rows of the 180-pixel-wide overlay.
constexpr int kScrollStep = 3 * kOverlayWidth;
constexpr int kBarStep = 5;

// The counter starts at 3, so 93 beats count; their scroll keeps the overlay's window inside
// the strip.
constexpr int kBeats = (kLastBeatCounter - 3 + kBeatCounterStep - 1) / kBeatCounterStep;
static_assert(kBeats == 93 && kBeats * kScrollStep + kOverlayWidth * kFrameHeight <= kOverlayPixels);

}  // namespace

void FinaleCues::on_event(std::uint8_t value, bool bars_closing) {
  bool known = true;
  switch (value) {
    case 2: break;
    case 160: case 161: case 162: texture = value - 160; break;
    case 176: light = LightMode::kPicture; break;
    case 177: light = LightMode::kTunnel; break;
    case 178: light = LightMode::kRings; break;
    case 179: light = LightMode::kHold; break;
    case 240: colour = ColourMode::kRings; break;
    case 241: colour = ColourMode::kTunnel; break;
    case 242: case 244: colour = ColourMode::kInterference; break;
    default: known = false; break;
  }
  // Unknown values count as beats only once the module has given a real one.
  if (known) beat_seen = true;
  if (beat_seen) beat(bars_closing);
}

void FinaleCues::beat(bool bars_closing) {
  if (beat_counter >= kLastBeatCounter) return;
  beat_counter += kBeatCounterStep;
  overlay_scroll += kScrollStep;
  if (bars_closing) bar_height = std::min(bar_height + kBarStep, kMaxBarHeight);
}

namespace {

constexpr int kFlashStep = 2;
constexpr float kOverlayTicks = 7.0f;
constexpr double kLineSpeed = 4.2;                // pixels per tick from each side

}  // namespace

FinaleRun::FinaleRun(const FinaleAssets& assets) : assets_(assets) {
  std::fill(assets_.light.begin(), assets_.light.end(), std::uint8_t{0});
}

bool FinaleRun::draw_frame(int order, float t, std::optional<std::uint8_t> event, FrameView frame) {
  if (order == kBarsOrder) {
    bars_closing_ = true;
  } else if (order == kClosingLineOrder && !line_closing_) {
    line_closing_ = true;
    line_start_ = t;
  }
  if (event) {
    if (*event != kFinaleEnd) cues_.on_event(*event, bars_closing_);
    last_event_time_ = t;
    if (*event == kFinaleEnd) return false;
  }
  if (flash_ != 0) flash_ -= kFlashStep;
  draw_colour_layer(t);
  draw_light_layer(t);
  light_copy_pending_ = false;
  compose(t, frame);
  return true;
}

void FinaleRun::draw_colour_layer(float t) {
  const DoubledTextureView texture = assets_.textures[static_cast<std::size_t>(cues_.texture)];
  switch (cues_.colour) {
    case ColourMode::kRings: return draw_mapped_layer(texture, colour_offset(t), assets_.polar, assets_.colour);
    case ColourMode::kTunnel: return draw_mapped_layer(texture, colour_offset(t), assets_.tunnel, assets_.colour);
    case ColourMode::kInterference: {
      const float f = t * k3Over1120F;
      build_wave_page(texture, interference_k(t, f), t, assets_.page);
      return draw_interference(assets_.ripple, ripple_windows(t), assets_.page, assets_.colour);
    }
  }
}

void FinaleRun::draw_light_layer(float t) {
  switch (cues_.light) {
    case LightMode::kPicture:
      // Only the run's first frame copies the picture; later it keeps the last light drawn.
      if (light_copy_pending_) std::copy(assets_.light_picture.begin(), assets_.light_picture.end(), assets_.light.begin());
      return;
    case LightMode::kTunnel:
      return draw_mapped_layer(assets_.light_texture, light_tunnel_offset(t), assets_.tunnel, assets_.light);
    case LightMode::kRings:
      return draw_mapped_layer(assets_.light_texture, light_rings_offset(t), assets_.polar, assets_.light);
    case LightMode::kHold: return;
  }
}

void FinaleRun::compose(float t, FrameView frame) {
  const FrameView out = assets_.intermediate;
  combine_layers(assets_.shades[static_cast<std::size_t>(cues_.texture)], flash_, assets_.light, assets_.colour, out);
  if (bars_closing_ && cues_.bar_height > 0) close_bars(out, cues_.bar_height);
  if (line_closing_) close_middle_line(out, std::min(trunc_to_int((t - line_start_) * kLineSpeed), kFrameWidth / 2));
  blend_trail(frame, out);
  if (t - last_event_time_ < kOverlayTicks) draw_overlay(assets_.overlay, cues_.overlay_scroll, frame);
}

}  // namespace morvane
