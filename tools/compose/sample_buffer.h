#pragma once
// A synthesised sound on its way into a module sample: float frames at a known rate, then
// scaled into 16-bit PCM with its tuning and loop.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/compose/sample_pitch.h"
#include "tools/compose/xm_module.h"

namespace morvane::synth {

struct Sound {
  double sample_rate = 44100.0;
  std::vector<double> frames;
  xm::LoopType loop = xm::LoopType::kNone;
  std::size_t loop_start = 0;
  std::size_t loop_length = 0;

  std::size_t size() const { return frames.size(); }
  double seconds(std::size_t frame) const { return static_cast<double>(frame) / sample_rate; }
};

// An empty sound of the given duration.
Sound make_sound(double seconds, double sample_rate);

// Scales so that the largest magnitude is `peak` (0..1); a silent sound stays silent.
void normalize(Sound& sound, double peak);
// Linear fade over the last `seconds` (a one-shot ends at zero, so it never clicks off).
void fade_out_tail(Sound& sound, double seconds);
// Removes a DC offset from the loop region, or from the whole sound when it has no loop.
void remove_dc(Sound& sound);

// 16-bit PCM, rounded and clamped to the integer range.
std::vector<std::int16_t> to_pcm16(const Sound& sound);

// The module sample: data, loop, volume, panning and tuning.
xm::Sample to_sample(const Sound& sound, const std::string& name, Tuning tuning, std::uint8_t volume,
                     std::uint8_t panning);

}  // namespace morvane::synth
