#include "tools/compose/voice_building.h"

#include <utility>

namespace morvane::compose {

xm::Instrument one_sample_instrument(const std::string& name, xm::Sample sample) {
  xm::Instrument ins;
  ins.name = name;
  ins.samples.push_back(std::move(sample));
  ins.sample_map.fill(0);
  return ins;
}

xm::Envelope sustain_envelope(std::initializer_list<xm::EnvelopePoint> points, int sustain_point) {
  xm::Envelope env;
  env.points.assign(points.begin(), points.end());
  env.enabled = true;
  env.sustain = true;
  env.sustain_point = static_cast<std::uint8_t>(sustain_point);
  return env;
}

xm::Sample one_shot_sample(synth::Sound sound, const std::string& name, std::uint8_t panning) {
  synth::fade_out_tail(sound, 0.01);
  synth::normalize(sound, 0.97);
  return synth::to_sample(sound, name, synth::tuning_for_rate(sound.sample_rate), 64, panning);
}

}  // namespace morvane::compose
