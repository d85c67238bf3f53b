#pragma once
// The two modules of the show: the piece itself and its short stand-in for tests.
#include "tools/compose/xm_module.h"

namespace morvane::compose {

inline constexpr const char* kTitle = "Morvane";

// The full piece: every part of the band written from the song plan, the cues on their own
// channel, and the synthesised instruments.
xm::Module compose_module();

// The same orders and cues, each order cut down to one row per cue followed by a spacer row
// (one empty row for an order without cues), at BPM 255 and no instruments: the whole show
// passes in seconds while every cue stays on a row of its own.
xm::Module compose_short_module();
inline constexpr int kShortSpeed = 4;  // 39 ms per row, 78 ms from one cue to the next
inline constexpr int kShortBpm = 255;

}  // namespace morvane::compose
