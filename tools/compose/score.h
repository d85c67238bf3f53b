#pragma once
// The patterns being written: one per order, with the band's channel layout and helpers to
// place notes at a velocity, key-offs and effects.
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/compose/instruments.h"
#include "tools/compose/xm_module.h"

namespace morvane::compose {

enum Channel : int {
  kChKick,
  kChSnare,  // snare and clap
  kChHats,
  kChPerc,   // toms and extra hits
  kChBass,
  kChPad1,
  kChPad2,
  kChPad3,
  kChLead,
  kChEcho,  // the lead again, later and softer, on the other side
  kChArp,
  kChBell,
  kChStab,
  kChRiser,
  kChCymbal,  // crashes, impacts, reverse cymbals
  kChCue,     // Z effects only
  kChannelCount,
};

class Score {
 public:
  explicit Score(const std::vector<int>& rows_per_order);

  int orders() const { return static_cast<int>(patterns_.size()); }
  int rows(int order) const { return patterns_.at(static_cast<std::size_t>(order)).rows(); }
  xm::Pattern& pattern(int order) { return patterns_.at(static_cast<std::size_t>(order)); }
  const std::vector<xm::Pattern>& patterns() const { return patterns_; }

  // A note of a voice at velocity 0..1 (scaled by the voice's mix level).
  void note(int order, int row, Channel channel, Voice voice, int note, double velocity);
  void key_off(int order, int row, Channel channel);
  void effect(int order, int row, Channel channel, std::uint8_t effect, std::uint8_t param);
  // True when the cell carries nothing yet.
  bool free(int order, int row, Channel channel) const;

 private:
  std::vector<xm::Pattern> patterns_;
};

// A melody line, one token per row: a note name starts a note, "-" holds, "^" releases.
// Spaces separate tokens; "|" is ignored (it marks beats for the reader).
struct PhraseStep {
  int note = 0;  // 0: hold; xm::kNoteOff: release
};
std::vector<PhraseStep> parse_phrase(std::string_view text);

}  // namespace morvane::compose
