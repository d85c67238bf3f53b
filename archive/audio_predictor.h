#pragma once
// The multimedia mode's adaptive predictor: each channel predicts its next byte from the last
// byte and the recent deltas with five weights, and every 32 bytes nudges one weight towards
// whichever term would have cost the least error. Inline: it runs once per decoded byte.
#include <array>
#include <cstdint>
#include <cstdlib>

namespace morvane {

struct AudioChannel {
  std::int32_t k1 = 0, k2 = 0, k3 = 0, k4 = 0, k5 = 0;  // weights, kept within -17..16
  std::int32_t d1 = 0, d2 = 0, d3 = 0, d4 = 0;           // recent deltas
  std::int32_t last_delta = 0;
  std::array<std::uint32_t, 11> errors{};
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
  c.errors.fill(0);
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

  const std::int32_t d = as_signed_byte(static_cast<std::int32_t>(delta)) * 8;
  const auto add = [&c](int i, std::int32_t v) { c.errors[static_cast<std::size_t>(i)] += static_cast<std::uint32_t>(std::abs(v)); };
  add(0, d);
  add(1, d - c.d1);
  add(2, d + c.d1);
  add(3, d - c.d2);
  add(4, d + c.d2);
  add(5, d - c.d3);
  add(6, d + c.d3);
  add(7, d - c.d4);
  add(8, d + c.d4);
  add(9, d - channel_delta);
  add(10, d + channel_delta);

  c.last_delta = channel_delta = as_signed_byte(byte - c.last_byte);
  c.last_byte = byte;

  if ((c.byte_count & 0x1F) == 0) audio_detail::adapt(c);
  return static_cast<std::uint8_t>(byte & 0xFF);
}

}  // namespace morvane
