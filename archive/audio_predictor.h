#pragma once
// The multimedia mode's adaptive predictor: each channel predicts its next byte from the last
// byte and the recent deltas with five weights, and every 32 bytes nudges one weight towards
// whichever term would have cost the least error. Inline: it runs once per decoded byte.
#include <cstdint>

namespace morvane {

// The eleven error sums in 16-bit lanes, so that one vector operation updates them all. They
// restart every 32 bytes, and a term is at most 1024 + 255, so a sum stays below 41,000.
using AudioErrorLanes = std::uint16_t __attribute__((vector_size(32)));
using AudioTermLanes = std::int16_t __attribute__((vector_size(32)));

struct AudioChannel {
  std::int32_t k1 = 0, k2 = 0, k3 = 0, k4 = 0, k5 = 0;  // weights, kept within -17..16
  std::int32_t d1 = 0, d2 = 0, d3 = 0, d4 = 0;           // recent deltas
  std::int32_t last_delta = 0;
  AudioErrorLanes errors{};  // lanes 0..10 used
  std::uint32_t byte_count = 0;
  std::int32_t last_byte = 0;  // the full difference p - delta, not cut to 8 bits
};

namespace audio_detail {

inline std::int32_t as_signed_byte(std::int32_t v) { return static_cast<std::int8_t>(static_cast<std::uint8_t>(v & 0xFF)); }

// Moves one weight by the winning error sum: 1/2 lower/raise K1, 3/4 K2, ... 9/10 K5.
inline void adapt(AudioChannel& c) {
  unsigned best = 0;
  for (unsigned i = 1; i < 11; ++i)
    if (c.errors[i] < c.errors[best]) best = i;
  c.errors = AudioErrorLanes{};
  if (best == 0) return;
  std::int32_t* const weights[5] = {&c.k1, &c.k2, &c.k3, &c.k4, &c.k5};
  std::int32_t& k = *weights[(best - 1) / 2];
  if (best % 2 == 1) {
    if (k >= -16) --k;
  } else {
    if (k < 16) ++k;
  }
}

}  // namespace audio_detail

// Decodes one byte of a channel from the transmitted difference (0 to 255). channel_delta is
// shared by all channels: it holds the delta of whichever channel produced the previous byte.
inline std::uint8_t predict_audio_byte(AudioChannel& c, std::int32_t& channel_delta, unsigned delta) {
  using audio_detail::as_signed_byte;
  ++c.byte_count;
  c.d4 = c.d3;
  c.d3 = c.d2;
  c.d2 = c.last_delta - c.d1;
  c.d1 = c.last_delta;

  // All terms are small (bytes and byte differences times weights of at most 17), far from
  // the 32-bit limits.
  std::int32_t p = 8 * c.last_byte + c.k1 * c.d1 + c.k2 * c.d2 + c.k3 * c.d3 + c.k4 * c.d4 + c.k5 * channel_delta;
  p = (p >> 3) & 0xFF;
  const std::int32_t byte = p - static_cast<std::int32_t>(delta);

  // |d|, |d - d1|, |d + d1|, |d - d2|, ... |d + channel_delta| added to sums 0 to 10.
  const auto d = static_cast<std::int16_t>(as_signed_byte(static_cast<std::int32_t>(delta)) * 8);
  const auto t1 = static_cast<std::int16_t>(c.d1), t2 = static_cast<std::int16_t>(c.d2);
  const auto t3 = static_cast<std::int16_t>(c.d3), t4 = static_cast<std::int16_t>(c.d4);
  const auto t5 = static_cast<std::int16_t>(channel_delta);
  const AudioTermLanes terms = {0, t1, t1, t2, t2, t3, t3, t4, t4, t5, t5, 0, 0, 0, 0, 0};
  constexpr AudioTermLanes kSigns = {1, -1, 1, -1, 1, -1, 1, -1, 1, -1, 1, 0, 0, 0, 0, 0};
  const AudioTermLanes errors = d * kSigns + terms;
  const AudioTermLanes magnitudes = errors < 0 ? -errors : errors;
  c.errors += reinterpret_cast<AudioErrorLanes>(magnitudes);

  c.last_delta = channel_delta = as_signed_byte(byte - c.last_byte);
  c.last_byte = byte;

  if ((c.byte_count & 0x1F) == 0) audio_detail::adapt(c);
  return static_cast<std::uint8_t>(byte & 0xFF);
}

}  // namespace morvane
