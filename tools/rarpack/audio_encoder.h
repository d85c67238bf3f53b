#pragma once
// Multimedia mode: the decoder predicts each byte of up to four interleaved channels from the
// channel's recent deltas with adaptive weights and adds a coded difference. The encoder runs
// the very same predictor so that the differences it codes reproduce the input exactly.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "tools/rarpack/coded_symbol.h"

namespace morvane {

struct AudioChannelModel {
  std::array<std::int32_t, 5> k{};  // weights K1..K5
  std::array<std::int32_t, 4> d{};  // deltas D1..D4
  std::int32_t last_delta = 0;
  std::array<std::uint32_t, 11> error{};
  std::uint32_t count = 0;
  std::int32_t last_byte = 0;
};

// Everything of multimedia mode that a decoder carries from byte to byte, across table changes,
// LZ stretches and solid entries.
struct AudioModel {
  std::array<AudioChannelModel, 4> channels{};
  std::int32_t channel_delta = 0;
  int current = 0;  // channel of the next byte
};

// The predictor step for one byte: returns the difference that makes the decoder produce
// `actual`, and advances the channel exactly as the decoder does on that difference.
std::uint8_t audio_step(AudioChannelModel& channel, std::int32_t& channel_delta, std::uint8_t actual);

// Appends the symbols that code `data` in multimedia mode with `channels` tables, right after
// a table transmission (which moves the current channel back to 0 when it is out of range).
void encode_audio(std::span<const std::uint8_t> data, int channels, AudioModel& state,
                  std::vector<CodedSymbol>& out);

}  // namespace morvane
