// Transitions: risers that arrive on downbeats, reverse cymbals that swell into them, crashes
// and impacts on the arrivals (most of them on the show's cues).
#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

void crash(Score& s, int order, int row, double velocity = 1.0) {
  s.note(order, row, kChCymbal, Voice::kCrash, kUnpitchedNote, velocity);
}
void reverse_cymbal(Score& s, int order, int row) {  // 2 s: lands 16 rows later
  s.note(order, row, kChCymbal, Voice::kReverseCymbal, kUnpitchedNote, 1.0);
}
void impact(Score& s, int order, int row, double velocity = 1.0) {
  s.note(order, row, kChPerc, Voice::kImpact, kUnpitchedNote, velocity);
}
void riser(Score& s, int order, int row) {  // 6 s: lands 48 rows later
  s.note(order, row, kChRiser, Voice::kRiser, kUnpitchedNote, 1.0);
}
void short_riser(Score& s, int order, int row) {  // 2 s: lands 16 rows later
  s.note(order, row, kChRiser, Voice::kRiserShort, kUnpitchedNote, 1.0);
}

}  // namespace

void write_effects(Score& s) {
  // First scene.
  reverse_cymbal(s, 2, 16);
  impact(s, 3, 0);  // the glow clears
  crash(s, 4, 0);   // the full bar; the lift to white begins
  riser(s, 4, 0);
  crash(s, 6, 0);
  impact(s, 6, 0, 0.8);
  reverse_cymbal(s, 7, 4);  // swells into the second picture
  crash(s, 8, 0);
  short_riser(s, 10, 16);
  // Flight and title.
  crash(s, 11, 0);
  crash(s, 13, 0);
  short_riser(s, 14, 16);
  crash(s, 15, 0);
  impact(s, 15, 0);
  // Light map: a soft cymbal on every toggle; the shake and the flash hit hard.
  for (const Cue& c : show_cues()) {
    if (c.order >= kOrderLightMap && c.order < kOrderLightPhase2) crash(s, c.order, c.row, 0.5);
  }
  crash(s, 16, 0, 0.7);
  crash(s, 20, 0);
  impact(s, 22, 0);
  crash(s, 22, 0);
  impact(s, 23, 16);
  crash(s, 23, 16);
  short_riser(s, 23, 16);  // while the logo rises
  crash(s, 24, 0);
  // Pictures and tunnel.
  crash(s, 25, 0);
  crash(s, 27, 0);
  crash(s, 29, 0);
  reverse_cymbal(s, 30, 16);
  // Colour grid: the pulse returns under a long riser into the finale.
  riser(s, 34, 16);
  // Finale.
  for (int order = kOrderFinale; order < kOrderLineCloses; order += 2) crash(s, order, 0);
  impact(s, kOrderFinale, 0);
  impact(s, kOrderBarsClose, 0);
  reverse_cymbal(s, 51, 16);
  crash(s, kOrderLineCloses, 0);
  impact(s, kOrderLineCloses, 0);
}

void write_cue_channel(Score& score, const std::vector<Cue>& cues) {
  for (const Cue& c : cues) score.effect(c.order, c.row, kChCue, xm::kEffectZ, c.value);
}

}  // namespace morvane::compose
