#pragma once
// Canonical Huffman decoding table of one alphabet, built from the code lengths a table
// transmission sends. Decoding follows the limit search (smallest length whose left-justified
// limit lies above the next 16 bits); a lookup of the first bits short-cuts the common codes
// with exactly the same results.
#include <array>
#include <cstdint>
#include <span>

#include "archive/bit_input.h"

namespace morvane {

class HuffmanTable {
 public:
  static constexpr unsigned kMaxSymbols = 298;
  static constexpr unsigned kFastBits = 10;

  // lengths: one code length (0 to 15, 0 = unused) per symbol; the alphabet has lengths.size()
  // symbols (at most kMaxSymbols). Symbol list places no code lands on keep what an earlier
  // build put there, as the limit search may still reach them.
  void build(std::span<const std::uint8_t> lengths);

  // Bits: BitInput or its Cursor.
  template <typename Bits>
  unsigned decode(Bits& in) const {
    const std::uint32_t v = in.peek() & 0xFFFE;
    const std::uint16_t fast = fast_[v >> (16 - kFastBits)];
    if (fast & 0xF) {
      in.skip(fast & 0xF);
      return fast >> 4;
    }
    // No entry: the search ends past kFastBits for every v under this prefix.
    unsigned len = 0;
    const unsigned symbol = search_from(kFastBits + 1, v, len);
    in.skip(len);
    return symbol;
  }

  // The limit search alone, for codes longer than the lookup covers (and for checking).
  unsigned decode_by_limits(std::uint32_t v, unsigned& length) const { return search_from(1, v, length); }

 private:
  // The limit search from the given length on, which v must have passed for every shorter one.
  unsigned search_from(unsigned first, std::uint32_t v, unsigned& length) const;

  unsigned symbol_count_ = 0;
  // limit_[15] stays above every v (see build), also in a table never built.
  std::array<std::uint32_t, 16> limit_{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFFFF};
  std::array<std::uint32_t, 16> position_{};
  // Symbols in code order; the second half only takes the unused symbols while building.
  std::array<std::uint16_t, 2 * kMaxSymbols> symbols_{};
  // (symbol << 4) | code length for every kFastBits-bit prefix whose code is no longer than
  // that; 0 where the limit search has to run.
  std::array<std::uint16_t, 1u << kFastBits> fast_{};
};

}  // namespace morvane
