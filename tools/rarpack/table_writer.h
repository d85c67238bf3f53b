#pragma once
// The table transmission: a 2- or 4-bit header, the 19 lengths of the code-length code, then
// the lengths of every table coded with it, as values added to the previous lengths (modulo
// 16) or as absolute values, with run codes 16 (repeat the preceding length 3-6 times),
// 17 (3-10 zeros) and 18 (11-138 zeros). The planner picks runs and mode by price.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "tools/rarpack/bit_writer.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {

struct TableTransmission {
  struct Op {
    std::uint8_t symbol;  // 0..18
    std::uint8_t extra;   // run length minus its minimum, for 16..18
  };
  int audio_channels = 0;  // 0: LZ tables
  bool delta = false;      // lengths are added to the previous ones
  std::array<std::uint8_t, rarpack::kCodeLengthSymbols> code_lengths{};
  std::vector<Op> ops;
  std::uint64_t bits = 0;  // size of the whole transmission
};

// Plans the cheapest transmission of `lengths` (374 LZ lengths, or 257 per audio channel).
// `previous` holds the decoder's previous lengths; pass fewer than lengths.size() (e.g. none)
// when they are not known that far, and only absolute values are used.
TableTransmission plan_table_transmission(std::span<const std::uint8_t> lengths,
                                          std::span<const std::uint8_t> previous, int audio_channels);

void write_table_transmission(BitWriter& out, const TableTransmission& table);

}  // namespace morvane
