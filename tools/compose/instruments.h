#pragma once
// The band: every instrument of the piece, synthesised from scratch. Instrument numbers in the
// module follow the order of Voice.
#include <cstdint>
#include <vector>

#include "tools/compose/xm_module.h"

namespace morvane::compose {

enum class Voice : std::uint8_t {
  kKick = 1,
  kSnare,
  kClap,
  kClosedHat,
  kOpenHat,
  kCrash,
  kTom,
  kBass,
  kPad,
  kLead,
  kPluck,
  kBell,
  kStab,
  kRiser,
  kRiserShort,
  kImpact,
  kReverseCymbal,
};
inline constexpr int kVoiceCount = static_cast<int>(Voice::kReverseCymbal);

// The note at which unpitched voices (drums, effects) play their sample as recorded.
inline constexpr int kUnpitchedNote = 49;  // C-4

// Instrument number of a voice in the module (1-based).
constexpr std::uint8_t instrument_number(Voice v) { return static_cast<std::uint8_t>(v); }

// Loudness of a voice in the mix: the volume-column value (0..64) of a full-velocity note.
int mix_level(Voice v);

// Each voice's instrument: sample(s), tuning, envelopes.
xm::Instrument make_kick();
xm::Instrument make_snare();
xm::Instrument make_clap();
xm::Instrument make_closed_hat();
xm::Instrument make_open_hat();
xm::Instrument make_crash();
xm::Instrument make_tom();
xm::Instrument make_bass();
xm::Instrument make_pad();
xm::Instrument make_lead();
xm::Instrument make_pluck();
xm::Instrument make_bell();
xm::Instrument make_stab();
xm::Instrument make_riser();
xm::Instrument make_riser_short();
xm::Instrument make_impact();
xm::Instrument make_reverse_cymbal();

// All voices in Voice order.
std::vector<xm::Instrument> make_instruments();

}  // namespace morvane::compose
