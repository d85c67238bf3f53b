#include "tools/compose/instruments.h"

namespace morvane::compose {

int mix_level(Voice v) {
  switch (v) {
    case Voice::kKick: return 64;
    case Voice::kSnare: return 46;
    case Voice::kClap: return 40;
    case Voice::kClosedHat: return 26;
    case Voice::kOpenHat: return 22;
    case Voice::kCrash: return 30;
    case Voice::kTom: return 44;
    case Voice::kBass: return 50;
    case Voice::kPad: return 26;
    case Voice::kLead: return 36;
    case Voice::kPluck: return 26;
    case Voice::kBell: return 30;
    case Voice::kStab: return 40;
    case Voice::kRiser: return 30;
    case Voice::kRiserShort: return 30;
    case Voice::kImpact: return 52;
    case Voice::kReverseCymbal: return 28;
  }
  return 32;
}

std::vector<xm::Instrument> make_instruments() {
  std::vector<xm::Instrument> all;
  all.reserve(kVoiceCount);
  all.push_back(make_kick());
  all.push_back(make_snare());
  all.push_back(make_clap());
  all.push_back(make_closed_hat());
  all.push_back(make_open_hat());
  all.push_back(make_crash());
  all.push_back(make_tom());
  all.push_back(make_bass());
  all.push_back(make_pad());
  all.push_back(make_lead());
  all.push_back(make_pluck());
  all.push_back(make_bell());
  all.push_back(make_stab());
  all.push_back(make_riser());
  all.push_back(make_riser_short());
  all.push_back(make_impact());
  all.push_back(make_reverse_cymbal());
  return all;
}

}  // namespace morvane::compose
