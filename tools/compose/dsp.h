#pragma once
// Small signal-processing building blocks for sample synthesis: a deterministic noise source,
// band-limited oscillators and a state-variable filter. Everything is double precision and
// free of global state, so every sample comes out the same on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace morvane::synth {

inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// xorshift32: white noise in [-1, 1) from a fixed seed.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  double next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};

// Correction that removes the aliasing step of a discontinuity at phase 0 (polyBLEP).
inline double poly_blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// Waveforms of a phase in [0, 1) advancing by dt per sample.
inline double saw_wave(double phase, double dt) { return 2.0 * phase - 1.0 - poly_blep(phase, dt); }
inline double pulse_wave(double phase, double dt, double width) {
  double shifted = phase + (1.0 - width);
  shifted -= std::floor(shifted);
  return (phase < width ? 1.0 : -1.0) + poly_blep(phase, dt) - poly_blep(shifted, dt);
}
inline double sine_wave(double phase) { return std::sin(kTwoPi * phase); }

// A phase that runs exactly `cycles` times through `period` samples, computed from the sample
// index so that a loop of `period` samples joins without a seam.
struct ExactPhase {
  std::int64_t cycles;
  std::int64_t period;
  double at(std::int64_t n) const { return static_cast<double>((cycles * n) % period) / static_cast<double>(period); }
  double step() const { return static_cast<double>(cycles) / static_cast<double>(period); }
  double frequency(double sample_rate) const { return sample_rate * step(); }
};

// A free-running phase for swept pitches.
class Phasor {
 public:
  double advance(double frequency, double sample_rate) {
    const double p = phase_;
    phase_ += frequency / sample_rate;
    phase_ -= std::floor(phase_);
    return p;
  }

 private:
  double phase_ = 0.0;
};

// Trapezoidal state-variable filter; cutoff may change every sample.
class SvFilter {
 public:
  struct Out {
    double low, band, high;
  };
  Out process(double x, double cutoff_hz, double q, double sample_rate) {
    const double fc = std::clamp(cutoff_hz, 10.0, sample_rate * 0.49);
    const double g = std::tan(std::numbers::pi * fc / sample_rate);
    const double k = 1.0 / q;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k * v1 - v2};
  }

 private:
  double ic1_ = 0.0;
  double ic2_ = 0.0;
};

// Soft saturation that keeps small signals linear.
inline double soft_clip(double x) { return std::tanh(x); }

// Exponential decay with time constant tau (seconds).
inline double decay(double t, double tau) { return std::exp(-t / tau); }

}  // namespace morvane::synth
