#include "archive/huffman_table.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace morvane {

void HuffmanTable::build(std::span<const std::uint8_t> lengths) {
  const unsigned n = static_cast<unsigned>(std::min<std::size_t>(lengths.size(), kMaxSymbols));
  std::array<std::uint32_t, 16> count{};
  for (const std::uint8_t len : lengths.first(n)) ++count[len & 15];
  count[0] = 0;

  std::uint32_t code = 0;
  limit_[0] = 0;
  position_[0] = 0;
  for (unsigned len = 1; len < 16; ++len) {
    code = 2 * (code + count[len]);
    limit_[len] = std::min<std::uint32_t>(code << (15 - len), 0xFFFF);
    position_[len] = position_[len - 1] + count[len - 1];
  }
  // The search ends at 15 at the latest: above every v, so that it needs one test per length.
  limit_[15] = std::numeric_limits<std::uint32_t>::max();

  // Unused symbols go to the scratch half, so that the placement needs no branch.
  std::array<std::uint32_t, 16> next = position_;
  next[0] = kMaxSymbols;
  std::uint16_t symbol = 0;
  // Range loops and no branch: each index or compare here is a check of its own under the
  // fuzzers' sanitizers, and tables are rebuilt for every fuzz input.
  for (const std::uint8_t len : lengths.first(n)) symbols_[next[len & 15]++] = symbol++;
  symbol_count_ = n;

  // The limits never decrease, so the limit search ends at length len exactly for the v in
  // [limit[len - 1], limit[len]). Up to kFastBits those limits are multiples of 2^(16 - len)
  // (or capped at 0xFFFF, above every even v), so each code of that length owns an aligned run
  // of 2^(kFastBits - len) prefixes, and within the range the search's list index is always one
  // this build wrote. So the table is filled length by length without a search, words of four
  // equal entries at a time where the runs allow.
  constexpr unsigned kShift = 16 - kFastBits;
  std::uint16_t* const fast = fast_.data();
  std::uint32_t prefix = 0;
  for (unsigned len = 1; len <= kFastBits; ++len) {
    const std::uint32_t start = prefix;
    const std::uint32_t end = (limit_[len] + (1u << kShift) - 1) >> kShift;
    const unsigned run_bits = kFastBits - len;
    const std::uint16_t* const codes = symbols_.data() + position_[len];
    if (run_bits >= 2) {
      for (; prefix < end; prefix += 4) {
        const std::uint64_t entry = static_cast<std::uint64_t>(codes[(prefix - start) >> run_bits] << 4 | len);
        const std::uint64_t word = entry * 0x0001000100010001;
        std::memcpy(fast + prefix, &word, sizeof word);
      }
    } else {
      for (; prefix < end; ++prefix) fast[prefix] = static_cast<std::uint16_t>(codes[(prefix - start) >> run_bits] << 4 | len);
    }
  }
  std::memset(fast + prefix, 0, (fast_.size() - prefix) * sizeof *fast);
}

unsigned HuffmanTable::search_from(unsigned first, std::uint32_t v, unsigned& length) const {
  unsigned len = first;
  while (v >= limit_[len]) ++len;
  length = len;
  // v >= limit[len - 1] by the search; an index past the symbols (an incomplete or
  // oversubscribed code) decodes as the list's first entry.
  const std::uint32_t i = position_[len] + ((v - limit_[len - 1]) >> (16 - len));
  return symbols_[i < symbol_count_ ? i : 0];
}

}  // namespace morvane
