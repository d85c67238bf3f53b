#pragma once
// Tuning of a synthesised sample: the relative note and finetune that make a note number play
// at its musical pitch. Throughout the composer, note n (1 = C-0) sounds at MIDI pitch n + 11,
// so C-4 (49) is middle C and A-4 (58) is 440 Hz.
#include <cstdint>

namespace morvane::synth {

struct Tuning {
  std::int8_t relative_note = 0;
  std::int8_t finetune = 0;  // 1/128 semitone, even (the player halves it)
};

// For a sample recorded at sample_rate whose fundamental is pitch_hz.
Tuning tuning_for_pitch(double sample_rate, double pitch_hz);
// For an unpitched sample: C-4 plays it at its own sample_rate.
Tuning tuning_for_rate(double sample_rate);

// The frequency a note plays at when the sample is tuned as above.
double note_frequency(int note);
// The playback rate, in Hz, of a note with a tuning (linear frequency table).
double playback_rate(int note, Tuning tuning);

}  // namespace morvane::synth
