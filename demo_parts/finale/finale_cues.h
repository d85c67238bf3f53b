#pragma once
// What the module's commands set in the finale: texture, colour effect and light effect, and
// the beats that scroll the overlay and, late in the song, close the black bars.
#include <cstdint>

namespace morvane {

inline constexpr std::uint8_t kFinaleEnd = 255;

enum class ColourMode { kRings, kTunnel, kInterference };
enum class LightMode { kPicture, kTunnel, kRings, kHold };

struct FinaleCues {
  int texture = 0;  // 0..2: texture and shade table 1..3
  ColourMode colour = ColourMode::kRings;
  LightMode light = LightMode::kPicture;
  bool beat_seen = false;
  int beat_counter = 3;  // stops the beats once it reaches 280 (after 93 beats)
  int overlay_scroll = 0;
  int bar_height = 0;

  // Acts on one command value other than the end (255). bars_closing: the order-44 mark is set.
  void on_event(std::uint8_t value, bool bars_closing);

 private:
  void beat(bool bars_closing);
};

}  // namespace morvane
