#include "tools/compose/instruments.h"

namespace morvane::compose {

int mix_level(Voice v) {
  switch (v) {
    case Voice::kKick: return 56;
    case Voice::kSnare: return 60;
    case Voice::kClap: return 62;
    case Voice::kClosedHat: return 34;
    case Voice::kOpenHat: return 30;
    case Voice::kCrash: return 40;
    case Voice::kTom: return 50;
    case Voice::kBass: return 46;
    case Voice::kPad: return 24;
    case Voice::kLead: return 44;
    case Voice::kPluck: return 30;
    case Voice::kBell: return 30;
    case Voice::kStab: return 46;
    case Voice::kRiser: return 34;
    case Voice::kRiserShort: return 34;
    case Voice::kImpact: return 56;
    case Voice::kReverseCymbal: return 36;
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
