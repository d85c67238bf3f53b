// Kick, snare and clap, hats and toms by section; fills close the phrases.
#include <algorithm>

#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

constexpr std::string_view kFour = "x...x...x...x...";
constexpr std::string_view kHalf = "x.........x.....";
constexpr std::string_view kHeartbeat = "o.......o.......";
constexpr std::string_view kBackbeat = "....C.......C...";
constexpr std::string_view kBackbeatGhost = "....C..g....C.g.";
constexpr std::string_view kHalfSnare = "........S.......";
constexpr std::string_view kFill = "....C.......SsSS";
constexpr std::string_view kLightFill = "........S...sSsS";
constexpr std::string_view kHatsDrive = "cgOgcgOgcgOgcgOg";
constexpr std::string_view kHatsOffbeat = "..O...O...O...O.";
constexpr std::string_view kHatsEighths = "c.g.c.g.c.g.c.g.";
constexpr std::string_view kHatsSoft = "..g...g...g...g.";

double kick_velocity(char c) { return c == 'x' ? 1.0 : c == 'o' ? 0.7 : 0.45; }

void kick(Score& s, const Bar& bar, std::string_view rhythm, double gain = 1.0) {
  play_rhythm(bar, rhythm, [&](int row, char c) {
    s.note(bar.order, row, kChKick, Voice::kKick, kUnpitchedNote, gain * kick_velocity(c));
  });
}

void snare(Score& s, const Bar& bar, std::string_view rhythm) {
  play_rhythm(bar, rhythm, [&](int row, char c) {
    switch (c) {
      case 'C': s.note(bar.order, row, kChSnare, Voice::kClap, kUnpitchedNote, 1.0); break;
      case 'c': s.note(bar.order, row, kChSnare, Voice::kClap, kUnpitchedNote, 0.6); break;
      case 'S': s.note(bar.order, row, kChSnare, Voice::kSnare, kUnpitchedNote, 1.0); break;
      case 's': s.note(bar.order, row, kChSnare, Voice::kSnare, kUnpitchedNote, 0.7); break;
      default: s.note(bar.order, row, kChSnare, Voice::kSnare, kUnpitchedNote, 0.35); break;
    }
  });
}

void hats(Score& s, const Bar& bar, std::string_view rhythm, double gain = 1.0) {
  play_rhythm(bar, rhythm, [&](int row, char c) {
    if (c == 'O') {
      s.note(bar.order, row, kChHats, Voice::kOpenHat, kUnpitchedNote, gain);
    } else {
      s.note(bar.order, row, kChHats, Voice::kClosedHat, kUnpitchedNote, gain * (c == 'c' ? 0.8 : 0.5));
    }
  });
}

// A snare roll over the bar, growing from soft to full.
void roll(Score& s, const Bar& bar, int step, double from, double to) {
  for (int i = 0; i < bar.rows; i += step) {
    const double v = from + (to - from) * i / std::max(1, bar.rows - 1);
    s.note(bar.order, bar.first_row + i, kChSnare, Voice::kSnare, kUnpitchedNote, v);
  }
}

// Four toms falling through the last beats of a bar.
void tom_fill(Score& s, const Bar& bar) {
  constexpr int notes[] = {41, 37, 34, 30};  // E-3, C-3, A-2, F-2
  for (int i = 0; i < 4; ++i) {
    s.note(bar.order, bar.first_row + 8 + 2 * i, kChPerc, Voice::kTom, notes[i], 0.9);
  }
}

bool last_bar(const Bar& bar, const Score& s) { return bar.first_row + bar.rows == s.rows(bar.order); }

void write_bar(Score& s, const Bar& bar, Section section) {
  const bool phrase_end = last_bar(bar, s) && bar.order % 2 == 1;
  switch (section) {
    case Section::kIntro:
      if (bar.order == 2 && bar.index == 1) kick(s, bar, kHeartbeat, 0.8);
      break;
    case Section::kCountIn:
      if (bar.index == 0) break;
      kick(s, bar, kFour);
      hats(s, bar, kHatsEighths, 0.8);
      if (bar.index == 2) roll(s, bar, 2, 0.3, 1.0);
      break;
    case Section::kLift:
      kick(s, bar, kFour);
      hats(s, bar, kHatsDrive);
      snare(s, bar, bar.order == 5 ? kFill : kBackbeat);
      break;
    case Section::kPeak:
      kick(s, bar, kHalf);
      snare(s, bar, kHalfSnare);
      hats(s, bar, kHatsOffbeat);
      break;
    case Section::kFadeOut:
      break;
    case Section::kFlashes:
      kick(s, bar, kFour);
      hats(s, bar, kHatsDrive);
      snare(s, bar, bar.order == 10 && bar.index == 1 ? kFill : kBackbeat);
      break;
    case Section::kFlight:
    case Section::kTunnel:
    case Section::kFinale:
    case Section::kClimax:
      kick(s, bar, kFour);
      hats(s, bar, kHatsDrive);
      if (bar.order == 51 && bar.index == 1) {
        roll(s, bar, 1, 0.35, 1.0);
      } else {
        snare(s, bar, phrase_end ? kFill : kBackbeatGhost);
      }
      if (bar.order == 47 && bar.index == 1) tom_fill(s, bar);
      break;
    case Section::kReveal:
      if (bar.index == 0) break;
      kick(s, bar, kHalf, 0.9);
      hats(s, bar, kHatsSoft);
      if (bar.index == 2) snare(s, bar, kLightFill);
      break;
    case Section::kGlow:
      kick(s, bar, kHalf, 0.9);
      snare(s, bar, kHalfSnare);
      hats(s, bar, kHatsEighths, 0.8);
      break;
    case Section::kDrive:
      kick(s, bar, kFour);
      hats(s, bar, kHatsDrive, 0.9);
      snare(s, bar, kBackbeat);
      if (bar.order == 21 && bar.index == 1) tom_fill(s, bar);
      break;
    case Section::kStrobe:
      kick(s, bar, kFour);
      hats(s, bar, kHatsOffbeat);
      snare(s, bar, kBackbeat);
      break;
    case Section::kDream:
      if (bar.order > 31) hats(s, bar, kHatsSoft, 0.7);
      break;
    case Section::kFog:
      kick(s, bar, kHalf, 0.8);
      hats(s, bar, kHatsEighths, 0.7);
      break;
    case Section::kBuild:
      kick(s, bar, kFour);
      hats(s, bar, kHatsDrive, 0.9);
      roll(s, bar, bar.index == 0 ? 2 : 1, bar.index == 0 ? 0.3 : 0.6, bar.index == 0 ? 0.6 : 1.0);
      break;
    case Section::kEnding:
      if (bar.index == 0) s.note(bar.order, 0, kChKick, Voice::kKick, kUnpitchedNote, 1.0);
      break;
  }
}

}  // namespace

void write_drums(Score& score) {
  for (int order = 0; order < score.orders(); ++order) {
    const Section section = song_plan()[static_cast<std::size_t>(order)].section;
    for (const Bar& bar : bars_of(order)) write_bar(score, bar, section);
  }
}

bool advance(const Score& score, int& order, int& row, int delta) {
  row += delta;
  while (order < score.orders() && row >= score.rows(order)) {
    row -= score.rows(order);
    ++order;
  }
  return order < score.orders();
}

}  // namespace morvane::compose
