#include "tools/compose/music_theory.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace morvane::compose {
namespace {

int letter_class(char c) {
  switch (c) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
  }
  return -1;
}

// Reads a pitch class (letter and optional accidental) from the front of text.
int take_pitch_class(std::string_view& text) {
  if (text.empty() || letter_class(text[0]) < 0) return -1;
  int pc = letter_class(text[0]);
  text.remove_prefix(1);
  if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
    pc += text[0] == '#' ? 1 : -1;
    text.remove_prefix(1);
  }
  return (pc + 12) % 12;
}

bool has_third(const Chord& chord) {
  return std::any_of(chord.intervals.begin(), chord.intervals.end(), [](int i) { return i % 12 == 3 || i % 12 == 4; });
}

}  // namespace

int parse_note(std::string_view name) {
  std::string_view rest = name;
  const int pc = take_pitch_class(rest);
  if (pc < 0 || rest.size() != 1 || rest[0] < '0' || rest[0] > '7') {
    throw std::invalid_argument("bad note name '" + std::string(name) + "'");
  }
  // B#/Cb cross the octave line; keep the written octave's letter as the anchor.
  int octave = rest[0] - '0';
  const int letter = letter_class(name[0]);
  if (letter == 11 && pc == 0) ++octave;
  if (letter == 0 && pc == 11) --octave;
  const int note = octave * 12 + pc + 1;
  if (note < 1 || note > 96) throw std::invalid_argument("note outside the module's range: " + std::string(name));
  return note;
}

Chord parse_chord(std::string_view symbol) {
  Chord chord;
  chord.symbol = std::string(symbol);
  std::string_view rest = symbol;
  chord.root = take_pitch_class(rest);
  if (chord.root < 0) throw std::invalid_argument("bad chord '" + chord.symbol + "'");
  chord.bass = chord.root;
  if (const auto slash = rest.find('/'); slash != std::string_view::npos) {
    std::string_view bass = rest.substr(slash + 1);
    chord.bass = take_pitch_class(bass);
    if (chord.bass < 0 || !bass.empty()) throw std::invalid_argument("bad bass in chord '" + chord.symbol + "'");
    rest = rest.substr(0, slash);
  }
  struct Quality {
    std::string_view suffix;
    std::vector<int> intervals;
  };
  static const std::vector<Quality> qualities = {
      {"", {0, 4, 7}},         {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},     {"m7", {0, 3, 7, 10}},
      {"maj7", {0, 4, 7, 11}}, {"sus4", {0, 5, 7}},       {"sus2", {0, 2, 7}},      {"m9", {0, 3, 7, 10, 14}},
      {"add9", {0, 4, 7, 14}}, {"madd9", {0, 3, 7, 14}}, {"maj9", {0, 4, 7, 11, 14}},
  };
  for (const auto& q : qualities) {
    if (q.suffix == rest) {
      chord.intervals = q.intervals;
      return chord;
    }
  }
  throw std::invalid_argument("unknown chord quality in '" + chord.symbol + "'");
}

std::vector<int> chord_notes(const Chord& chord, int low, int high) {
  std::vector<int> notes;
  for (int n = low; n <= high; ++n) {
    const int pc = (n - 1) % 12;
    for (int i : chord.intervals) {
      if ((chord.root + i) % 12 == pc) {
        notes.push_back(n);
        break;
      }
    }
  }
  return notes;
}

int bass_note(const Chord& chord, int low) {
  for (int n = low; n < low + 12; ++n)
    if ((n - 1) % 12 == chord.bass) return n;
  return low;
}

std::array<int, 3> lead_voices(const std::array<int, 3>& previous, const Chord& next, int low, int high) {
  const auto notes = chord_notes(next, low, high);
  const bool third = has_third(next);
  std::array<int, 3> best = {low, low, low};
  int best_cost = std::numeric_limits<int>::max();
  for (std::size_t a = 0; a < notes.size(); ++a) {
    for (std::size_t b = a + 1; b < notes.size(); ++b) {
      for (std::size_t c = b + 1; c < notes.size(); ++c) {
        const std::array<int, 3> v = {notes[a], notes[b], notes[c]};
        const int pa = (v[0] - 1) % 12, pb = (v[1] - 1) % 12, pc = (v[2] - 1) % 12;
        if (pa == pb || pb == pc || pa == pc) continue;  // three different tones
        if (v[2] - v[0] > 12) continue;                  // keep the voicing close
        int cost = std::abs(v[0] - previous[0]) + std::abs(v[1] - previous[1]) + std::abs(v[2] - previous[2]);
        if (third) {
          bool keeps_third = false;
          for (int n : v) {
            const int interval = ((n - 1) % 12 - next.root + 12) % 12;
            keeps_third |= interval == 3 || interval == 4;
          }
          if (!keeps_third) cost += 100;
        }
        if (v[1] - v[0] == 1 || v[2] - v[1] == 1) cost += 3;  // avoid semitone rubs inside the pad
        if (cost < best_cost) {
          best_cost = cost;
          best = v;
        }
      }
    }
  }
  return best;
}

}  // namespace morvane::compose
