#pragma once
// Notes, chords and voice leading. Notes are module note numbers: 1 = C-0, 49 = C-4,
// 58 = A-4 (440 Hz).
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::compose {

// "A4", "C#5", "Bb3" -> note number; throws std::invalid_argument on anything else.
int parse_note(std::string_view name);

struct Chord {
  std::string symbol;
  int root = 0;               // pitch class, C = 0
  int bass = 0;               // pitch class of the bass (the root unless written as a slash chord)
  std::vector<int> intervals;  // semitones above the root, starting with 0
};

// "Am", "F", "Fmaj7", "Esus4", "Dm7", "Am9", "Cadd9", "G/B" ...; throws on an unknown symbol.
Chord parse_chord(std::string_view symbol);

// Every note of the chord between low and high inclusive, ascending.
std::vector<int> chord_notes(const Chord& chord, int low, int high);

// The lowest note of the chord's bass pitch class at or above `low`.
int bass_note(const Chord& chord, int low);

// Three pad voices for `next`, chosen among its notes in [low, high] to move as little as
// possible from `previous` (ascending), always keeping the third when the chord has one.
std::array<int, 3> lead_voices(const std::array<int, 3>& previous, const Chord& next, int low, int high);

}  // namespace morvane::compose
