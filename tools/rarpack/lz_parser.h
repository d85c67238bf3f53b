#pragma once
// Turns a stretch of the stream into main-table symbols: literals, new matches, matches at one
// of the four recent distances, repeats of the last match and short two-byte matches, chosen by
// their estimated price in bits (with one step of lazy evaluation).
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "tools/rarpack/coded_symbol.h"
#include "tools/rarpack/match_finder.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {

// The decoder's LZ state: what symbols 256..260 refer to.
struct LzState {
  std::array<std::uint32_t, 4> recent{};  // ring of the last four match distances
  std::uint32_t counter = 0;              // low two bits: the next ring slot
  std::uint32_t last_distance = 0;
  std::uint32_t last_length = 0;

  void add_match(std::uint32_t distance, std::uint32_t length, bool repeat_of_last) {
    recent[counter & 3] = distance;
    ++counter;
    if (!repeat_of_last) {
      last_distance = distance;
      last_length = length;
    }
  }
};

// Estimated code lengths of every LZ symbol, in 1/16 bit.
struct LzPrices {
  std::array<std::uint32_t, rarpack::kLzTableSize> price{};

  // What a fresh stream expects: every symbol of a table equally likely.
  static LzPrices flat();
  // From the symbol counts of a parsed stretch; unseen symbols stay possible but dear.
  static LzPrices from_counts(std::span<const std::uint32_t> counts);
};

// Parses stream[begin, end) (all of stream before `begin` is history) and appends its symbols.
void parse_lz(std::span<const std::uint8_t> stream, std::size_t begin, std::size_t end, MatchFinder& finder,
              LzState& state, const LzPrices& prices, std::vector<CodedSymbol>& out);

}  // namespace morvane
