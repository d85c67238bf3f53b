// Pitched voices: bass, pad, lead, pluck, bell and the chord stab. Sustained voices are built
// from oscillators that complete whole cycles within their loop, so loops join without a seam.
#include <array>
#include <cmath>
#include <utility>

#include "tools/compose/dsp.h"
#include "tools/compose/instruments.h"
#include "tools/compose/voice_building.h"

namespace morvane::compose {

using synth::decay;
using synth::ExactPhase;
using synth::Noise;
using synth::Phasor;
using synth::SvFilter;

namespace {

constexpr double kRate = 44100.0;
constexpr std::int64_t kLoop = 32768;  // loop length of the sustained voices (0.74 s)

double attack(double t, double seconds) { return t < seconds ? t / seconds : 1.0; }

// Renders `render(n)` for two loop lengths through `filter_and_shape` and keeps the second
// pass, so the loop holds the filter's settled state.
template <typename Render>
synth::Sound settled_loop(Render render) {
  auto s = synth::make_sound(0.0, kRate);
  std::vector<double> two(2 * kLoop);
  for (std::int64_t n = 0; n < 2 * kLoop; ++n) two[static_cast<std::size_t>(n)] = render(n);
  s.frames.assign(two.begin() + kLoop, two.end());
  s.loop = xm::LoopType::kForward;
  s.loop_start = 0;
  s.loop_length = static_cast<std::size_t>(kLoop);
  return s;
}

xm::Sample tuned(synth::Sound s, const std::string& name, double pitch, std::uint8_t panning) {
  // A loop must not carry an offset; a one-shot keeps its shape so that it starts at zero.
  if (s.loop != xm::LoopType::kNone) synth::remove_dc(s);
  if (s.loop == xm::LoopType::kNone) synth::fade_out_tail(s, 0.02);
  synth::normalize(s, 0.97);
  return synth::to_sample(s, name, synth::tuning_for_pitch(s.sample_rate, pitch), 64, panning);
}

}  // namespace

xm::Instrument make_bass() {
  // A saw and a square one period of 800 samples long: 55.125 Hz, just above A-1.
  const ExactPhase osc{1, 800};
  constexpr std::size_t kLoopStart = 16000;  // 0.36 s: the pluck has settled by then
  auto s = synth::make_sound(0.0, kRate);
  s.frames.resize(kLoopStart + 800);
  SvFilter filter;
  const double settle = decay(0.3, 0.07);
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double p = osc.at(static_cast<std::int64_t>(n));
    const double raw = 0.7 * synth::saw_wave(p, osc.step()) + 0.45 * synth::pulse_wave(p, osc.step(), 0.5);
    const double sweep = t < 0.3 ? decay(t, 0.07) - settle : 0.0;
    const double cutoff = 540.0 + 2600.0 * sweep;
    const double low = filter.process(raw, cutoff, 1.25, kRate).low;
    s.frames[n] = synth::soft_clip(1.5 * low) * attack(t, 0.002);
  }
  s.loop = xm::LoopType::kForward;
  s.loop_start = kLoopStart;
  s.loop_length = 800;
  auto ins = one_sample_instrument("bass", tuned(std::move(s), "bass", osc.frequency(kRate), 128));
  ins.volume_envelope = sustain_envelope({{0, 64}, {8, 56}, {14, 50}, {18, 0}}, 2);
  ins.fadeout = 1024;
  return ins;
}

xm::Instrument make_pad() {
  // Five saws 6.8 cents apart plus a sine an octave down, all whole cycles of the loop.
  constexpr std::array<std::int64_t, 5> cycles = {254, 255, 256, 257, 258};
  constexpr std::array<double, 5> weights = {0.55, 0.8, 1.0, 0.8, 0.55};
  SvFilter filter;
  auto s = settled_loop([&](std::int64_t n) {
    double sum = 0.0;
    for (std::size_t i = 0; i < cycles.size(); ++i) {
      const ExactPhase osc{cycles[i], kLoop};
      sum += weights[i] * synth::saw_wave(osc.at(n), osc.step());
    }
    sum += 0.7 * synth::sine_wave(ExactPhase{128, kLoop}.at(n));
    return filter.process(sum / 3.0, 3000.0, 0.6, kRate).low;
  });
  const double pitch = ExactPhase{256, kLoop}.frequency(kRate);
  auto ins = one_sample_instrument("pad", tuned(std::move(s), "pad", pitch, 128));
  ins.volume_envelope = sustain_envelope({{0, 0}, {6, 40}, {16, 60}, {28, 64}, {60, 36}, {100, 0}}, 3);
  ins.fadeout = 200;
  return ins;
}

xm::Instrument make_lead() {
  // Two saws 6.8 cents apart over a square an octave below.
  SvFilter filter;
  auto s = settled_loop([&](std::int64_t n) {
    const ExactPhase a{256, kLoop}, b{257, kLoop}, sub{128, kLoop};
    const double raw = synth::saw_wave(a.at(n), a.step()) + 0.8 * synth::saw_wave(b.at(n), b.step()) +
                       0.45 * synth::pulse_wave(sub.at(n), sub.step(), 0.5);
    return synth::soft_clip(1.2 * filter.process(raw / 2.2, 5600.0, 0.85, kRate).low);
  });
  const double pitch = ExactPhase{256, kLoop}.frequency(kRate);
  auto ins = one_sample_instrument("lead", tuned(std::move(s), "lead", pitch, 128));
  ins.volume_envelope = sustain_envelope({{0, 0}, {2, 64}, {12, 50}, {22, 0}}, 2);
  ins.fadeout = 768;
  ins.vibrato_wave = xm::VibratoWave::kSine;
  ins.vibrato_sweep = 48;
  ins.vibrato_depth = 3;
  ins.vibrato_rate = 20;
  return ins;
}

xm::Instrument make_pluck() {
  const ExactPhase osc{1, 128};
  auto s = synth::make_sound(0.8, kRate);
  SvFilter filter;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double p = osc.at(static_cast<std::int64_t>(n));
    const double raw = synth::saw_wave(p, osc.step()) + 0.5 * synth::pulse_wave(p, osc.step(), 0.3);
    const double cutoff = 320.0 + 7000.0 * decay(t, 0.045);
    s.frames[n] = filter.process(raw, cutoff, 1.8, kRate).low * decay(t, 0.24) * attack(t, 0.001);
  }
  return one_sample_instrument("pluck", tuned(std::move(s), "pluck", osc.frequency(kRate), 92));
}

xm::Instrument make_bell() {
  constexpr double rate = 32000.0;
  const ExactPhase carrier{1, 64};   // 500 Hz
  const ExactPhase modulator{2, 64};  // harmonic 1:2 pair, a glassy bell
  const ExactPhase sparkle{7, 64};
  auto s = synth::make_sound(2.4, rate);
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const auto i = static_cast<std::int64_t>(n);
    const double index = 0.35 + 2.4 * decay(t, 0.3);
    const double mod = index * synth::sine_wave(modulator.at(i));
    const double body = std::sin(synth::kTwoPi * carrier.at(i) + mod);
    const double glint = 0.18 * synth::sine_wave(sparkle.at(i)) * decay(t, 0.07);
    s.frames[n] = (body + glint) * decay(t, 0.75) * attack(t, 0.0015);
  }
  return one_sample_instrument("bell", tuned(std::move(s), "bell", carrier.frequency(rate), 168));
}

xm::Instrument make_stab() {
  // Root, fifth and octaves of slightly detuned saws: fits over any chord on its root.
  constexpr double kRoot = 220.0;
  constexpr std::array<double, 5> partials = {1.0, 1.5, 2.0, 3.0, 4.0};
  constexpr std::array<double, 5> weights = {1.0, 0.8, 0.7, 0.35, 0.22};
  auto s = synth::make_sound(0.65, kRate);
  std::array<Phasor, 10> osc{};
  Noise noise(71);
  SvFilter filter, burst;
  for (std::size_t n = 0; n < s.size(); ++n) {
    const double t = s.seconds(n);
    const double bend = 1.0 + 0.02 * decay(t, 0.012);
    double sum = 0.0;
    for (std::size_t k = 0; k < partials.size(); ++k) {
      const double f = kRoot * partials[k] * bend;
      sum += weights[k] * (synth::saw_wave(osc[2 * k].advance(f * 0.997, kRate), f / kRate) +
                           synth::saw_wave(osc[2 * k + 1].advance(f * 1.003, kRate), f / kRate));
    }
    const double cutoff = 650.0 + 6500.0 * decay(t, 0.09);
    const double body = filter.process(sum / 4.0, cutoff, 1.4, kRate).low;
    const double hit = burst.process(noise.next(), 3000.0, 0.7, kRate).high * decay(t, 0.015);
    const double env = 0.85 * decay(t, 0.2) + 0.15 * decay(t, 0.05);
    s.frames[n] = (body * env + 0.3 * hit) * attack(t, 0.002);
  }
  return one_sample_instrument("stab", tuned(std::move(s), "stab", kRoot, 128));
}

}  // namespace morvane::compose
