#pragma once
// Writes a RAR 2.0 stream symbol by symbol, for decoder cases no packer produces: hand-picked
// table transmissions and LZ symbols with their extra bits. The bit writer, the canonical codes
// and the transmission format come from the packer, whose output an independent extractor reads.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "tools/rarpack/bit_writer.h"
#include "tools/rarpack/huffman_lengths.h"
#include "tools/rarpack/table_writer.h"

namespace morvane::test {

class StreamWriter {
 public:
  enum Table { kMain, kDistance, kRepeat };

  // Sends `t`; the symbols that follow are coded with `result`, the 374 lengths the decoder
  // ends up with.
  void tables(const TableTransmission& t, std::span<const std::uint8_t> result) {
    write_table_transmission(bits_, t);
    const std::size_t start[] = {0, rarpack::kDistanceOffset, rarpack::kRepeatLengthOffset, rarpack::kLzTableSize};
    for (std::size_t k = 0; k < 3; ++k) {
      lengths_[k].assign(result.begin() + static_cast<std::ptrdiff_t>(start[k]), result.begin() + static_cast<std::ptrdiff_t>(start[k + 1]));
      codes_[k].assign(lengths_[k].size(), 0);
      build_canonical_codes(lengths_[k], codes_[k]);
    }
  }
  // The packer's own transmission of these lengths (relative to `previous` when cheaper).
  void tables(std::span<const std::uint8_t> lengths, std::span<const std::uint8_t> previous = {}) {
    tables(plan_table_transmission(lengths, previous, 0), lengths);
  }
  void symbol(Table table, unsigned s) {
    if (lengths_[table].size() <= s || lengths_[table][s] == 0) throw std::logic_error("symbol without a code");
    bits_.put(codes_[table][s], lengths_[table][s]);
  }
  void extra(std::uint32_t value, int count) { bits_.put(value, count); }
  void literals(std::string_view text) {
    for (char c : text) symbol(kMain, static_cast<std::uint8_t>(c));
  }
  std::vector<std::uint8_t> finish() { return bits_.finish(); }

 private:
  BitWriter bits_;
  std::array<std::vector<std::uint8_t>, 3> lengths_;
  std::array<std::vector<std::uint16_t>, 3> codes_;
};

// Lengths in which every LZ symbol has a code.
inline std::vector<std::uint8_t> full_lz_lengths() {
  std::vector<std::uint8_t> l(rarpack::kLzTableSize, 9);
  std::fill(l.begin() + rarpack::kDistanceOffset, l.end(), std::uint8_t{6});
  return l;
}

}  // namespace morvane::test
