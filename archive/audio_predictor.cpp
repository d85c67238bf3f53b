#include "archive/audio_predictor.h"

#include <cstdlib>

namespace morvane {
namespace {

std::int32_t as_signed_byte(std::int32_t v) { return static_cast<std::int8_t>(static_cast<std::uint8_t>(v & 0xFF)); }

void nudge_down(std::int32_t& k) {
  if (k >= -16) --k;
}
void nudge_up(std::int32_t& k) {
  if (k < 16) ++k;
}

}  // namespace

std::uint8_t predict_audio_byte(AudioChannel& c, std::int32_t& channel_delta, unsigned delta) {
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
  const std::int32_t terms[5] = {c.d1, c.d2, c.d3, c.d4, channel_delta};
  c.errors[0] += static_cast<std::uint32_t>(std::abs(d));
  for (int t = 0; t < 5; ++t) {
    c.errors[1 + 2 * t] += static_cast<std::uint32_t>(std::abs(d - terms[t]));
    c.errors[2 + 2 * t] += static_cast<std::uint32_t>(std::abs(d + terms[t]));
  }

  c.last_delta = channel_delta = as_signed_byte(byte - c.last_byte);
  c.last_byte = byte;

  if ((c.byte_count & 0x1F) == 0) {
    unsigned best = 0;
    for (unsigned i = 1; i < c.errors.size(); ++i)
      if (c.errors[i] < c.errors[best]) best = i;
    c.errors.fill(0);
    std::int32_t* const weights[5] = {&c.k1, &c.k2, &c.k3, &c.k4, &c.k5};
    if (best != 0) {
      std::int32_t& k = *weights[(best - 1) / 2];
      if (best % 2 == 1)
        nudge_down(k);
      else
        nudge_up(k);
    }
  }
  return static_cast<std::uint8_t>(byte & 0xFF);
}

}  // namespace morvane
