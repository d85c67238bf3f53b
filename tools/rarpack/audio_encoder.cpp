#include "tools/rarpack/audio_encoder.h"

#include <cstdlib>

#include "tools/rarpack/rar20_format.h"

namespace morvane {

std::uint8_t audio_step(AudioChannelModel& c, std::int32_t& channel_delta, std::uint8_t actual) {
  ++c.count;
  c.d[3] = c.d[2];
  c.d[2] = c.d[1];
  c.d[1] = c.last_delta - c.d[0];
  c.d[0] = c.last_delta;
  std::int32_t p = 8 * c.last_byte + c.k[0] * c.d[0] + c.k[1] * c.d[1] + c.k[2] * c.d[2] + c.k[3] * c.d[3] +
                   c.k[4] * channel_delta;
  p = (p >> 3) & 0xFF;
  const std::uint8_t delta = static_cast<std::uint8_t>(p - actual);

  const std::int32_t byte = p - delta;  // what the decoder computes; its low 8 bits are `actual`
  const std::int32_t dif = static_cast<std::int8_t>(delta) * 8;
  const std::int32_t cd = channel_delta;
  c.error[0] += static_cast<std::uint32_t>(std::abs(dif));
  c.error[1] += static_cast<std::uint32_t>(std::abs(dif - c.d[0]));
  c.error[2] += static_cast<std::uint32_t>(std::abs(dif + c.d[0]));
  c.error[3] += static_cast<std::uint32_t>(std::abs(dif - c.d[1]));
  c.error[4] += static_cast<std::uint32_t>(std::abs(dif + c.d[1]));
  c.error[5] += static_cast<std::uint32_t>(std::abs(dif - c.d[2]));
  c.error[6] += static_cast<std::uint32_t>(std::abs(dif + c.d[2]));
  c.error[7] += static_cast<std::uint32_t>(std::abs(dif - c.d[3]));
  c.error[8] += static_cast<std::uint32_t>(std::abs(dif + c.d[3]));
  c.error[9] += static_cast<std::uint32_t>(std::abs(dif - cd));
  c.error[10] += static_cast<std::uint32_t>(std::abs(dif + cd));

  c.last_delta = channel_delta = static_cast<std::int8_t>(byte - c.last_byte);
  c.last_byte = byte;

  if ((c.count & 0x1F) == 0) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < c.error.size(); ++i)
      if (c.error[i] < c.error[best]) best = i;
    c.error = {};
    if (best > 0) {
      std::int32_t& k = c.k[(best - 1) / 2];
      if (best % 2 == 1) {
        if (k >= -16) --k;
      } else {
        if (k < 16) ++k;
      }
    }
  }
  return delta;
}

void encode_audio(std::span<const std::uint8_t> data, int channels, AudioModel& state,
                  std::vector<CodedSymbol>& out) {
  if (state.current >= channels) state.current = 0;
  for (const std::uint8_t b : data) {
    const int ch = state.current;
    const std::uint8_t delta = audio_step(state.channels[static_cast<std::size_t>(ch)], state.channel_delta, b);
    out.push_back({0, static_cast<std::uint16_t>(ch * rarpack::kAudioSymbols + delta), 0});
    state.current = ch + 1 == channels ? 0 : ch + 1;
  }
}

}  // namespace morvane
