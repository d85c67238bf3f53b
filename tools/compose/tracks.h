#pragma once
// The band's parts, each written into its channels of the score from the song plan.
#include <string_view>
#include <vector>

#include "tools/compose/score.h"
#include "tools/compose/show_cues.h"
#include "tools/compose/song_plan.h"

namespace morvane::compose {

void write_drums(Score& score);
void write_bass(Score& score);
void write_pads(Score& score);
void write_lead(Score& score);
void write_arps_and_bells(Score& score);
void write_stabs(Score& score);
void write_effects(Score& score);
// The cue channel: each cue as effect Z with its value, nothing else.
void write_cue_channel(Score& score, const std::vector<Cue>& cues);

// A rhythm of one bar, one character per row: '.' is a rest, any other character a hit whose
// meaning the caller gives. Rows past the bar's length are ignored.
template <typename Hit>
void play_rhythm(const Bar& bar, std::string_view rhythm, Hit hit) {
  for (int i = 0; i < bar.rows && i < static_cast<int>(rhythm.size()); ++i) {
    if (rhythm[static_cast<std::size_t>(i)] != '.') hit(bar.first_row + i, rhythm[static_cast<std::size_t>(i)]);
  }
}

// The position `delta` rows after (order, row); false when that lies past the last order.
bool advance(const Score& score, int& order, int& row, int delta);

}  // namespace morvane::compose
