// Transition effects: noise risers, the low impact and the reversed cymbal swell.
#include <cmath>
#include <utility>

#include "tools/compose/dsp.h"
#include "tools/compose/instruments.h"
#include "tools/compose/voice_building.h"

namespace morvane::compose {

using synth::decay;
using synth::Noise;
using synth::Phasor;
using synth::SvFilter;

namespace {

// Band-passed noise whose centre climbs from 250 Hz to 7 kHz while it swells, with a rising
// tone underneath.
synth::Sound riser_sound(double seconds, std::uint32_t seed) {
  constexpr double rate = 22050.0;
  auto s = synth::make_sound(seconds, rate);
  Noise noise(seed);
  SvFilter band;
  Phasor tone;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double x = s.seconds(n) / seconds;
    const double centre = 250.0 * std::pow(28.0, std::pow(x, 1.3));
    const double hiss = band.process(noise.next(), centre, 2.2, rate).band;
    const double pitch = 110.0 * std::pow(12.0, x);
    const double sweep = synth::sine_wave(tone.advance(pitch, rate));
    s.frames[n] = (hiss + 0.18 * sweep) * std::pow(x, 1.6);
  }
  return s;
}

}  // namespace

xm::Instrument make_riser() {
  return one_sample_instrument("riser", one_shot_sample(riser_sound(6.0, 83), "riser", 128));
}

xm::Instrument make_riser_short() {
  return one_sample_instrument("short riser", one_shot_sample(riser_sound(2.0, 89), "short riser", 128));
}

xm::Instrument make_impact() {
  constexpr double rate = 22050.0;
  auto s = synth::make_sound(2.6, rate);
  Phasor body;
  Noise noise(97);
  SvFilter rumble;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double f = 36.0 + 70.0 * decay(t, 0.12);
    const double b = synth::sine_wave(body.advance(f, rate)) * decay(t, 0.75);
    const double r = rumble.process(noise.next(), 700.0, 0.7, rate).low * (0.7 * decay(t, 0.1) + 0.3 * decay(t, 0.9));
    s.frames[n] = synth::soft_clip(1.6 * b + 1.2 * r) * (t < 0.002 ? t / 0.002 : 1.0);
  }
  synth::fade_out_tail(s, 0.3);
  return one_sample_instrument("impact", one_shot_sample(std::move(s), "impact", 128));
}

xm::Instrument make_reverse_cymbal() {
  constexpr double rate = 32000.0;
  constexpr double seconds = 2.0;
  auto s = synth::make_sound(seconds, rate);
  Noise noise(101);
  SvFilter high;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double remaining = seconds - s.seconds(n);
    const double h = high.process(noise.next(), 5200.0, 0.8, rate).high;
    s.frames[n] = h * decay(remaining, 0.45);
  }
  return one_sample_instrument("reverse cymbal", one_shot_sample(std::move(s), "reverse cymbal", 140));
}

}  // namespace morvane::compose
