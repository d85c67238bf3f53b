#pragma once
// The effect commands that drive the show: every Z event of the module, by order and row, in
// playing order. The music is written around them (accents fall on the same rows).
#include <cstdint>
#include <vector>

namespace morvane::compose {

struct Cue {
  int order;
  int row;
  std::uint8_t value;
  friend bool operator==(const Cue&, const Cue&) = default;
};

// Values the scenes know.
namespace cue {
inline constexpr std::uint8_t kClearGlow = 1;      // first scene: clear the glow
inline constexpr std::uint8_t kFirstBar = 176;     // first scene: bars 176..183, then 184
inline constexpr std::uint8_t kFullBar = 184;
inline constexpr std::uint8_t kRepeatBar = 185;    // draw the last bar again (and flash)
inline constexpr std::uint8_t kReveal = 197;       // camera flight: white flash and title
inline constexpr std::uint8_t kToggleFeedback = 1;  // light map, phase 1
inline constexpr std::uint8_t kToggleFrame = 2;
inline constexpr std::uint8_t kToggleWideWarp = 3;
inline constexpr std::uint8_t kFlashAndRise = 1;  // light map, phase 2
inline constexpr std::uint8_t kShake = 2;
inline constexpr std::uint8_t kNextPicture = 32;  // any value: the flashes ignore it
inline constexpr std::uint8_t kBeat = 2;          // finale
inline constexpr std::uint8_t kEnd = 255;
}  // namespace cue

// Orders that stage the scenes' marks.
inline constexpr int kOrderFlight = 11;
inline constexpr int kOrderLightMap = 16;
inline constexpr int kOrderLightPhase2 = 20;
inline constexpr int kOrderFlashes = 25;
inline constexpr int kOrderTunnel = 27;
inline constexpr int kOrderGrid = 31;
inline constexpr int kOrderFinale = 36;
inline constexpr int kOrderBarsClose = 44;
inline constexpr int kOrderLineCloses = 52;

// All cues, sorted by order and row.
const std::vector<Cue>& show_cues();
// The cues of one order.
std::vector<Cue> cues_in(int order);

}  // namespace morvane::compose
