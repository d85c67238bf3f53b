// The bass: chord roots in the first octaves, in a rhythm chosen by section.
#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

// 'R' root, 'O' root an octave up, 'F' fifth, '^' release, '.' nothing new.
constexpr std::string_view kLong = "R...............";
constexpr std::string_view kGroove = "R.^R.^O^R.^R.^O^";
constexpr std::string_view kOffbeat = "..R^..R^..R^..R^";
constexpr std::string_view kDrive16 = "RRORRORRORRORROR";
constexpr std::string_view kHalf = "R.........R.O.^.";
constexpr std::string_view kQuarters = "R.^.R.^.R.^.R.^.";

constexpr int kLowest = 17;  // E-1: roots lie in E-1..D#2

void line(Score& s, const Bar& bar, std::string_view rhythm, double velocity) {
  const int root = bass_note(bar.chord, kLowest);
  play_rhythm(bar, rhythm, [&](int row, char c) {
    switch (c) {
      case '^': s.key_off(bar.order, row, kChBass); break;
      case 'O': s.note(bar.order, row, kChBass, Voice::kBass, root + 12, velocity * 0.9); break;
      case 'F': s.note(bar.order, row, kChBass, Voice::kBass, root + 7, velocity * 0.9); break;
      default: s.note(bar.order, row, kChBass, Voice::kBass, root, velocity); break;
    }
  });
}

void write_bar(Score& s, const Bar& bar, Section section) {
  switch (section) {
    case Section::kIntro:
      if (bar.order > 0 || bar.index > 0) line(s, bar, kLong, 0.55);
      break;
    case Section::kCountIn: line(s, bar, bar.index == 0 ? kLong : kQuarters, 0.85); break;
    case Section::kLift: line(s, bar, kOffbeat, 0.95); break;
    case Section::kPeak: line(s, bar, kLong, 0.95); break;
    case Section::kFadeOut:
      if (bar.index == 0) {
        line(s, bar, kLong, 0.8);
        s.key_off(bar.order, 12, kChBass);
      }
      break;
    case Section::kFlashes:
    case Section::kStrobe: line(s, bar, kOffbeat, 0.95); break;
    case Section::kFlight:
    case Section::kTunnel:
    case Section::kFinale:
    case Section::kClimax: line(s, bar, kGroove, 1.0); break;
    case Section::kReveal: line(s, bar, bar.index == 0 ? kLong : kHalf, 0.9); break;
    case Section::kGlow:
    case Section::kFog: line(s, bar, kHalf, 0.9); break;
    case Section::kDrive: line(s, bar, kDrive16, 0.85); break;
    case Section::kDream: line(s, bar, kLong, 0.7); break;
    case Section::kBuild: line(s, bar, bar.index == 0 ? kOffbeat : kDrive16, 0.95); break;
    case Section::kEnding:
      if (bar.index == 0) line(s, bar, kLong, 1.0);
      if (bar.index == 2) s.key_off(bar.order, bar.first_row + 8, kChBass);
      break;
  }
}

}  // namespace

void write_bass(Score& score) {
  for (int order = 0; order < score.orders(); ++order) {
    const Section section = song_plan()[static_cast<std::size_t>(order)].section;
    for (const Bar& bar : bars_of(order)) write_bar(score, bar, section);
  }
}

}  // namespace morvane::compose
