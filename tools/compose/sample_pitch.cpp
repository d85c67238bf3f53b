#include "tools/compose/sample_pitch.h"

#include <cmath>
#include <stdexcept>

namespace morvane::synth {
namespace {

constexpr double kC4Rate = 8363.0;  // playback rate of C-4 at relative note 0, finetune 0

// Splits a semitone offset into relative note and an even finetune in -64..64.
Tuning split(double semitones) {
  double whole = std::floor(semitones + 0.5);
  long fine = std::lround((semitones - whole) * 64.0) * 2;
  if (whole < -96 || whole > 95) throw std::invalid_argument("sample tuning beyond the relative-note range");
  return {static_cast<std::int8_t>(whole), static_cast<std::int8_t>(fine)};
}

}  // namespace

Tuning tuning_for_pitch(double sample_rate, double pitch_hz) {
  // Note n must play at rate sample_rate * f(n) / pitch_hz, with f(n) = 440 * 2^((n - 58) / 12).
  return split(12.0 * std::log2(sample_rate * 440.0 / (kC4Rate * pitch_hz)) - 9.0);
}

Tuning tuning_for_rate(double sample_rate) { return split(12.0 * std::log2(sample_rate / kC4Rate)); }

double note_frequency(int note) { return 440.0 * std::pow(2.0, (note - 58) / 12.0); }

double playback_rate(int note, Tuning t) {
  return kC4Rate * std::pow(2.0, (note + t.relative_note - 49) / 12.0 + t.finetune / 1536.0);
}

}  // namespace morvane::synth
