#pragma once
// The piece's timeline, one entry per order: length, harmony (a chord per bar of 16 rows),
// the character of the section and which melody the lead sings. The scenes of the show are
// staged by these orders, so lengths follow the pictures (see show_cues.h).
#include <string_view>
#include <vector>

#include "tools/compose/music_theory.h"

namespace morvane::compose {

inline constexpr int kSpeed = 6;         // ticks per row
inline constexpr int kBpm = 120;         // 0.125 s per row
inline constexpr int kRowsPerBeat = 4;   // rows are sixteenth notes
inline constexpr int kRowsPerBar = 16;

enum class Section {
  kIntro,     // pads and bells swell in
  kCountIn,   // one bar of calm, then a hit on every beat
  kLift,      // the groove starts under a long riser
  kPeak,      // wide open chords
  kFadeOut,   // everything falls away
  kFlashes,   // stabs with the flashes, gaps between
  kFlight,    // full groove, main theme
  kReveal,    // the title: an impact, then the theme's answer
  kGlow,      // half-time, arpeggios and bells
  kDrive,     // dark sixteenth-note drive
  kStrobe,    // a stab on every beat
  kTunnel,    // full groove, second theme
  kDream,     // no drums, pads and bells
  kFog,       // the pulse comes back under a riser
  kBuild,     // snare roll into the finale
  kFinale,    // the last run: both themes
  kClimax,    // the themes doubled, the outro melody
  kEnding,    // the last chord
};

enum class Theme { kNone, kMain, kSecond, kReveal, kPeak, kOutro, kLast };

struct OrderPlan {
  int rows;
  std::vector<std::string_view> chords;  // one per bar (a last, shorter bar included)
  Section section;
  Theme lead = Theme::kNone;
  int lead_bar = 0;  // first bar of the theme sung in this order
};

// One bar of an order: where it lies and what harmony it carries.
struct Bar {
  int order;
  int first_row;
  int rows;
  int index;  // bar number within the order
  Chord chord;
};

const std::vector<OrderPlan>& song_plan();
std::vector<Bar> bars_of(int order);
int order_count();

}  // namespace morvane::compose
