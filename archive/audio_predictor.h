#pragma once
// The multimedia mode's adaptive predictor: each channel predicts its next byte from the last
// byte and the recent deltas with five weights, and every 32 bytes nudges one weight towards
// whichever term would have cost the least error.
#include <array>
#include <cstdint>

namespace morvane {

struct AudioChannel {
  std::int32_t k1 = 0, k2 = 0, k3 = 0, k4 = 0, k5 = 0;  // weights, kept within -17..16
  std::int32_t d1 = 0, d2 = 0, d3 = 0, d4 = 0;           // recent deltas
  std::int32_t last_delta = 0;
  std::array<std::uint32_t, 11> errors{};
  std::uint32_t byte_count = 0;
  std::int32_t last_byte = 0;  // the full difference p - delta, not cut to 8 bits
};

// Decodes one byte of a channel from the transmitted difference (0 to 255). channel_delta is
// shared by all channels: it holds the delta of whichever channel produced the previous byte.
std::uint8_t predict_audio_byte(AudioChannel& channel, std::int32_t& channel_delta, unsigned delta);

}  // namespace morvane
