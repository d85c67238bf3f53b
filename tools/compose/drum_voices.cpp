// Drum and cymbal voices: pitched sine bodies, filtered noise and metallic square clusters.
#include <array>
#include <cmath>

#include "tools/compose/dsp.h"
#include "tools/compose/instruments.h"
#include "tools/compose/voice_building.h"

namespace morvane::compose {

using synth::decay;
using synth::Noise;
using synth::Phasor;
using synth::SvFilter;

namespace {

constexpr double kRate = 44100.0;

// Six detuned square waves at inharmonic ratios: the ringing core of hats and cymbals.
class MetalCluster {
 public:
  explicit MetalCluster(double base) {
    constexpr std::array<double, 6> ratios = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
    for (std::size_t i = 0; i < ratios.size(); ++i) frequencies_[i] = base * ratios[i];
  }
  double next(double sample_rate) {
    double sum = 0.0;
    for (std::size_t i = 0; i < phases_.size(); ++i) {
      const double p = phases_[i].advance(frequencies_[i], sample_rate);
      sum += p < 0.5 ? 1.0 : -1.0;
    }
    return sum / 6.0;
  }

 private:
  std::array<double, 6> frequencies_{};
  std::array<Phasor, 6> phases_{};
};

// Attack ramp of a few milliseconds so that no one-shot starts with a click.
double attack(double t, double seconds) { return t < seconds ? t / seconds : 1.0; }

synth::Sound hat_sound(double seconds, double tau, std::uint32_t seed) {
  auto s = synth::make_sound(seconds, kRate);
  Noise noise(seed);
  MetalCluster metal(317.0);
  SvFilter high, air;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double raw = 0.55 * metal.next(kRate) + 0.45 * noise.next();
    const double h = high.process(raw, 7200.0, 0.9, kRate).high;
    const double a = air.process(noise.next(), 11000.0, 0.7, kRate).high;
    s.frames[n] = (h + 0.35 * a) * decay(t, tau) * attack(t, 0.0008);
  }
  return s;
}

}  // namespace

xm::Instrument make_kick() {
  auto s = synth::make_sound(0.5, kRate);
  Phasor body;
  Noise noise(11);
  SvFilter click_filter;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double f = 47.0 + 115.0 * decay(t, 0.032) + 260.0 * decay(t, 0.0035);
    const double b = synth::sine_wave(body.advance(f, kRate)) * decay(t, 0.26) * attack(t, 0.0006);
    const double click = click_filter.process(noise.next(), 2500.0, 0.8, kRate).high * decay(t, 0.003);
    s.frames[n] = synth::soft_clip(1.8 * b) + 0.35 * click * attack(t, 0.0004);
  }
  return one_sample_instrument("kick", one_shot_sample(std::move(s), "kick", 128));
}

xm::Instrument make_snare() {
  auto s = synth::make_sound(0.38, kRate);
  Phasor tone1, tone2;
  Noise noise(23);
  SvFilter band;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double f = 178.0 + 40.0 * decay(t, 0.015);
    const double tone = 0.65 * synth::sine_wave(tone1.advance(f, kRate)) * decay(t, 0.05) +
                        0.3 * synth::sine_wave(tone2.advance(f * 1.78, kRate)) * decay(t, 0.035);
    const auto nb = band.process(noise.next(), 3800.0, 0.6, kRate);
    const double hiss = (nb.band + 0.6 * nb.high) * decay(t, 0.115);
    s.frames[n] = synth::soft_clip(1.6 * (tone + 0.9 * hiss)) * attack(t, 0.0008);
  }
  return one_sample_instrument("snare", one_shot_sample(std::move(s), "snare", 124));
}

xm::Instrument make_clap() {
  auto s = synth::make_sound(0.42, kRate);
  Noise noise(37);
  SvFilter band, high;
  constexpr std::array<double, 4> bursts = {0.0, 0.0105, 0.0215, 0.031};
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    double env = 0.0;
    for (std::size_t i = 0; i < bursts.size(); ++i) {
      if (t < bursts[i]) continue;
      const double tau = i + 1 == bursts.size() ? 0.13 : 0.0055;
      env += decay(t - bursts[i], tau) * attack(t - bursts[i], 0.0006);
    }
    const double x = band.process(noise.next(), 1150.0, 0.9, kRate).band;
    s.frames[n] = synth::soft_clip(2.2 * (x * env + 0.25 * high.process(x, 3000.0, 0.7, kRate).high * env));
  }
  return one_sample_instrument("clap", one_shot_sample(std::move(s), "clap", 136));
}

xm::Instrument make_closed_hat() {
  return one_sample_instrument("closed hat", one_shot_sample(hat_sound(0.11, 0.022, 41), "closed hat", 158));
}

xm::Instrument make_open_hat() {
  return one_sample_instrument("open hat", one_shot_sample(hat_sound(0.55, 0.15, 43), "open hat", 150));
}

xm::Instrument make_crash() {
  constexpr double rate = 32000.0;
  auto s = synth::make_sound(2.6, rate);
  Noise noise(59);
  MetalCluster metal(421.0);
  SvFilter high, shimmer;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double raw = 0.4 * metal.next(rate) + 0.6 * noise.next();
    const double h = high.process(raw, 4200.0, 0.7, rate).high;
    const double sh = shimmer.process(raw, 8500.0, 1.2, rate).band;
    const double env = decay(t, 0.85) * 0.8 + 0.2 * decay(t, 0.08);
    s.frames[n] = (h + 0.5 * sh) * env * attack(t, 0.001);
  }
  synth::fade_out_tail(s, 0.4);
  return one_sample_instrument("crash", one_shot_sample(std::move(s), "crash", 112));
}

xm::Instrument make_tom() {
  constexpr double kTomPitch = 98.0;  // where the body settles; notes transpose from here
  auto s = synth::make_sound(0.6, kRate);
  Phasor body;
  Noise noise(67);
  SvFilter thump;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double f = kTomPitch * (1.0 + 0.8 * decay(t, 0.05));
    const double b = synth::sine_wave(body.advance(f, kRate)) * decay(t, 0.2);
    const double hit = thump.process(noise.next(), 900.0, 0.8, kRate).low * decay(t, 0.02);
    s.frames[n] = synth::soft_clip(1.4 * b + 0.5 * hit) * attack(t, 0.0008);
  }
  synth::fade_out_tail(s, 0.05);
  synth::normalize(s, 0.97);
  auto sample = synth::to_sample(s, "tom", synth::tuning_for_pitch(kRate, kTomPitch), 64, 128);
  return one_sample_instrument("tom", std::move(sample));
}

}  // namespace morvane::compose
