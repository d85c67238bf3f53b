#include "demo_parts/finale/finale_cues.h"

#include <algorithm>

#include "demo_parts/finale/finale_compose.h"

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

}  // namespace morvane
