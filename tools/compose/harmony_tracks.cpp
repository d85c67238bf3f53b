// Pads (three voices led smoothly from chord to chord), arpeggios, bells and stabs.
#include <algorithm>
#include <array>

#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

constexpr int kPadLow = 41;   // E-3
constexpr int kPadHigh = 61;  // C-5
constexpr std::array<Channel, 3> kPadChannels = {kChPad1, kChPad2, kChPad3};
constexpr std::array<std::uint8_t, 3> kPadPans = {0x48, 0x80, 0xB8};

double pad_velocity(Section section) {
  switch (section) {
    case Section::kIntro:
    case Section::kPeak:
    case Section::kDream:
    case Section::kEnding:
    case Section::kReveal:
    case Section::kFog: return 1.0;
    case Section::kGlow:
    case Section::kClimax:
    case Section::kFadeOut: return 0.9;
    case Section::kDrive:
    case Section::kStrobe: return 0.55;
    default: return 0.75;
  }
}

bool has_arps(Section section) {
  switch (section) {
    case Section::kFlight:
    case Section::kGlow:
    case Section::kTunnel:
    case Section::kDream:
    case Section::kFog:
    case Section::kBuild:
    case Section::kFinale:
    case Section::kClimax: return true;
    default: return false;
  }
}

}  // namespace

void write_pads(Score& score) {
  std::array<int, 3> voices = {46, 49, 53};  // A-3 C-4 E-4
  std::array<int, 3> sounding = {0, 0, 0};
  for (int order = 0; order < score.orders(); ++order) {
    const Section section = song_plan()[static_cast<std::size_t>(order)].section;
    for (const Bar& bar : bars_of(order)) {
      const bool release = (section == Section::kFadeOut && bar.index == 1) ||
                           (section == Section::kEnding && bar.index == 2);
      if (release) {
        for (std::size_t v = 0; v < 3; ++v) {
          score.key_off(order, bar.first_row, kPadChannels[v]);
          sounding[v] = 0;
        }
        continue;
      }
      voices = lead_voices(voices, bar.chord, kPadLow, kPadHigh);
      for (std::size_t v = 0; v < 3; ++v) {
        // A tone that the next chord keeps goes on sounding.
        if (sounding[v] == voices[v]) continue;
        score.note(order, bar.first_row, kPadChannels[v], Voice::kPad, voices[v], pad_velocity(section));
        score.effect(order, bar.first_row, kPadChannels[v], xm::kEffectSetPan, kPadPans[v]);
        sounding[v] = voices[v];
      }
    }
  }
}

void write_arps_and_bells(Score& score) {
  constexpr std::array<int, 16> kArpShape = {0, 1, 2, 3, 2, 1, 2, 3, 4, 3, 2, 1, 2, 3, 2, 1};
  for (int order = 0; order < score.orders(); ++order) {
    const Section section = song_plan()[static_cast<std::size_t>(order)].section;
    for (const Bar& bar : bars_of(order)) {
      if (has_arps(section)) {
        const auto tones = chord_notes(bar.chord, 56, 84);  // from G-4 up
        const double gain = section == Section::kDream ? 0.7 : 1.0;
        for (int i = 0; i < bar.rows; ++i) {
          const auto pick = static_cast<std::size_t>(kArpShape[static_cast<std::size_t>(i)]);
          const int note = tones[std::min(pick, tones.size() - 1)];
          score.note(order, bar.first_row + i, kChArp, Voice::kPluck, note, gain * (i % 4 == 0 ? 1.0 : 0.6));
        }
      }
      // Bells: a falling three-note figure in the intro and the glowing and dreaming parts.
      const bool bells = (section == Section::kIntro && (order > 0 || bar.index > 0)) ||
                         section == Section::kGlow || section == Section::kDream ||
                         (section == Section::kReveal && bar.index > 0);
      if (bells) {
        const auto tones = chord_notes(bar.chord, 61, 82);  // from C-5 up
        constexpr std::array<int, 4> rows = {0, 6, 12, 14};
        constexpr std::array<int, 4> picks = {3, 2, 0, 1};
        for (std::size_t k = 0; k < rows.size(); ++k) {
          if (rows[k] >= bar.rows) continue;
          const int note = tones[std::min(static_cast<std::size_t>(picks[k]), tones.size() - 1)];
          score.note(order, bar.first_row + rows[k], kChBell, Voice::kBell, note, k == 0 ? 0.9 : 0.65);
        }
      }
    }
  }
}

void write_stabs(Score& score) {
  constexpr int kStabLow = 46;  // stabs sit on the chord root from here up
  auto stab = [&](int order, int row, double velocity) {
    const Bar* at = nullptr;
    const auto bars = bars_of(order);
    for (const Bar& b : bars)
      if (row >= b.first_row && row < b.first_row + b.rows) at = &b;
    score.note(order, row, kChStab, Voice::kStab, bass_note(at->chord, kStabLow), velocity);
  };
  for (const Cue& c : show_cues()) {
    const Section section = song_plan()[static_cast<std::size_t>(c.order)].section;
    switch (section) {
      case Section::kCountIn:
        if (c.row >= 16) stab(c.order, c.row, 0.45 + 0.07 * ((c.row - 16) / 4));
        break;
      case Section::kLift:
      case Section::kFlashes:
      case Section::kStrobe:
      case Section::kReveal:
        stab(c.order, c.row, 1.0);
        break;
      case Section::kFinale:
      case Section::kClimax:
        if (c.row % 16 == 0) stab(c.order, c.row, section == Section::kClimax ? 0.8 : 0.6);
        break;
      default: break;
    }
  }
  score.note(order_count() - 1, 0, kChStab, Voice::kStab, 46, 1.0);
}

}  // namespace morvane::compose
