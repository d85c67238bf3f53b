#include "tools/compose/song_plan.h"

#include <algorithm>
#include <stdexcept>

namespace morvane::compose {

const std::vector<OrderPlan>& song_plan() {
  using S = Section;
  using T = Theme;
  static const std::vector<OrderPlan> plan = {
      // First scene: the picture fades in (orders 0..2), waits while the bars are drawn (3),
      // lifts to white (4..5), holds (6), fades to black (7), then the second picture (8..10).
      {32, {"Am9", "Am9"}, S::kIntro},
      {32, {"Fmaj7", "Fmaj7"}, S::kIntro},
      {32, {"Dm7", "E"}, S::kIntro},
      {48, {"Am", "F", "G"}, S::kCountIn},
      {32, {"Am", "F"}, S::kLift},
      {16, {"G"}, S::kLift},
      {32, {"C", "E"}, S::kPeak, T::kPeak, 0},
      {20, {"Am", "Am"}, S::kFadeOut},
      {32, {"Am", "Am"}, S::kFlashes},
      {32, {"F", "F"}, S::kFlashes},
      {32, {"G", "E"}, S::kFlashes},
      // Camera flight, then the title (order 15).
      {32, {"Am", "F"}, S::kFlight, T::kMain, 0},
      {32, {"C", "G"}, S::kFlight, T::kMain, 2},
      {32, {"Am", "F"}, S::kFlight, T::kMain, 4},
      {32, {"C", "G"}, S::kFlight, T::kMain, 6},
      {48, {"Am", "F", "E"}, S::kReveal, T::kReveal, 0},
      // Light map: curves and feedback (16..19), then the light behind the logo (20..24).
      {32, {"Fmaj7", "G"}, S::kGlow},
      {32, {"Em7", "Am"}, S::kGlow},
      {32, {"Dm7", "G"}, S::kGlow},
      {32, {"Cmaj7", "E"}, S::kGlow},
      {32, {"Am", "Am"}, S::kDrive},
      {32, {"F", "F"}, S::kDrive},
      {32, {"Dm", "Dm"}, S::kDrive},
      {32, {"E", "E"}, S::kDrive},
      {32, {"Am", "F"}, S::kDrive, T::kMain, 0},
      // Ten pictures on the beat.
      {32, {"Am", "F"}, S::kStrobe},
      {32, {"C", "G"}, S::kStrobe},
      // Tunnel.
      {32, {"Am", "F"}, S::kTunnel, T::kSecond, 0},
      {32, {"C", "G"}, S::kTunnel, T::kSecond, 2},
      {32, {"Am", "F"}, S::kTunnel, T::kSecond, 4},
      {32, {"Dm", "E"}, S::kTunnel, T::kSecond, 6},
      // Colour grid; the fog from order 34.
      {32, {"Fmaj7", "Em7"}, S::kDream},
      {32, {"Dm7", "Cmaj7"}, S::kDream},
      {32, {"Fmaj7", "E"}, S::kDream},
      {32, {"Am", "F"}, S::kFog},
      {32, {"G", "E"}, S::kBuild},
      // Finale: marks at orders 44 and 52.
      {32, {"Am", "F"}, S::kFinale, T::kMain, 0},
      {32, {"C", "G"}, S::kFinale, T::kMain, 2},
      {32, {"Am", "F"}, S::kFinale, T::kMain, 4},
      {32, {"C", "G"}, S::kFinale, T::kMain, 6},
      {32, {"Am", "F"}, S::kFinale, T::kSecond, 0},
      {32, {"C", "G"}, S::kFinale, T::kSecond, 2},
      {32, {"Am", "F"}, S::kFinale, T::kSecond, 4},
      {32, {"Dm", "E"}, S::kFinale, T::kSecond, 6},
      {32, {"Am", "F"}, S::kClimax, T::kMain, 0},
      {32, {"C", "G"}, S::kClimax, T::kMain, 2},
      {32, {"Am", "F"}, S::kClimax, T::kMain, 4},
      {32, {"C", "G"}, S::kClimax, T::kMain, 6},
      {32, {"F", "G"}, S::kClimax, T::kOutro, 0},
      {32, {"Em", "Am"}, S::kClimax, T::kOutro, 2},
      {32, {"F", "G"}, S::kClimax, T::kOutro, 4},
      {32, {"Esus4", "E"}, S::kClimax, T::kOutro, 6},
      {48, {"Am", "Am", "Am"}, S::kEnding, T::kLast, 0},
  };
  return plan;
}

int order_count() { return static_cast<int>(song_plan().size()); }

std::vector<Bar> bars_of(int order) {
  const OrderPlan& plan = song_plan().at(static_cast<std::size_t>(order));
  std::vector<Bar> bars;
  for (int row = 0, index = 0; row < plan.rows; row += kRowsPerBar, ++index) {
    if (static_cast<std::size_t>(index) >= plan.chords.size()) {
      throw std::logic_error("order " + std::to_string(order) + " has fewer chords than bars");
    }
    bars.push_back({order, row, std::min(kRowsPerBar, plan.rows - row), index,
                    parse_chord(plan.chords[static_cast<std::size_t>(index)])});
  }
  return bars;
}

}  // namespace morvane::compose
