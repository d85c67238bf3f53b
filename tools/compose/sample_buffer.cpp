#include "tools/compose/sample_buffer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace morvane::synth {

Sound make_sound(double seconds, double sample_rate) {
  Sound s;
  s.sample_rate = sample_rate;
  s.frames.assign(static_cast<std::size_t>(std::lround(seconds * sample_rate)), 0.0);
  return s;
}

void normalize(Sound& sound, double peak) {
  double largest = 0.0;
  for (double v : sound.frames) largest = std::max(largest, std::abs(v));
  if (largest <= 0.0) return;
  const double gain = peak / largest;
  for (double& v : sound.frames) v *= gain;
}

void fade_out_tail(Sound& sound, double seconds) {
  const auto n = std::min(sound.size(), static_cast<std::size_t>(seconds * sound.sample_rate));
  for (std::size_t i = 0; i < n; ++i) {
    sound.frames[sound.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(n);
  }
}

void remove_dc(Sound& sound) {
  const bool looped = sound.loop != xm::LoopType::kNone && sound.loop_length > 0;
  const std::size_t begin = looped ? sound.loop_start : 0;
  const std::size_t count = looped ? sound.loop_length : sound.size();
  if (count == 0) return;
  double sum = 0.0;
  for (std::size_t i = begin; i < begin + count; ++i) sum += sound.frames[i];
  const double mean = sum / static_cast<double>(count);
  for (double& v : sound.frames) v -= mean;
}

std::vector<std::int16_t> to_pcm16(const Sound& sound) {
  std::vector<std::int16_t> pcm(sound.size());
  for (std::size_t i = 0; i < pcm.size(); ++i) {
    const double v = std::clamp(std::round(sound.frames[i] * 32767.0), -32768.0, 32767.0);
    pcm[i] = static_cast<std::int16_t>(v);
  }
  return pcm;
}

xm::Sample to_sample(const Sound& sound, const std::string& name, Tuning tuning, std::uint8_t volume,
                     std::uint8_t panning) {
  if (sound.loop != xm::LoopType::kNone &&
      (sound.loop_length == 0 || sound.loop_start + sound.loop_length > sound.size())) {
    throw std::invalid_argument("sound '" + name + "': loop outside the data");
  }
  xm::Sample s;
  s.name = name;
  s.pcm16 = to_pcm16(sound);
  s.loop = sound.loop;
  s.loop_start = static_cast<std::uint32_t>(sound.loop_start);
  s.loop_length = static_cast<std::uint32_t>(sound.loop_length);
  s.volume = volume;
  s.panning = panning;
  s.relative_note = tuning.relative_note;
  s.finetune = tuning.finetune;
  return s;
}

}  // namespace morvane::synth
