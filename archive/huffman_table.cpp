#include "archive/huffman_table.h"

#include <algorithm>

namespace morvane {

void HuffmanTable::build(std::span<const std::uint8_t> lengths) {
  const unsigned n = static_cast<unsigned>(std::min<std::size_t>(lengths.size(), kMaxSymbols));
  std::array<std::uint32_t, 16> count{};
  for (unsigned s = 0; s < n; ++s) ++count[lengths[s] & 15];
  count[0] = 0;

  std::uint32_t code = 0;
  limit_[0] = 0;
  position_[0] = 0;
  for (unsigned len = 1; len < 16; ++len) {
    code = 2 * (code + count[len]);
    limit_[len] = std::min<std::uint32_t>(code << (15 - len), 0xFFFF);
    position_[len] = position_[len - 1] + count[len - 1];
  }

  // Unused symbols go to the scratch half, so that the placement needs no branch.
  std::array<std::uint32_t, 16> next = position_;
  next[0] = kMaxSymbols;
  for (unsigned s = 0; s < n; ++s) symbols_[next[lengths[s] & 15]++] = static_cast<std::uint16_t>(s);
  symbol_count_ = n;

  // The limits never decrease, so the limit search ends at length len exactly for the v in
  // [limit[len - 1], limit[len]). Up to kFastBits those limits are multiples of 2^(16 - len)
  // (or capped at 0xFFFF, above every even v), so each code of that length owns an aligned run
  // of 2^(kFastBits - len) prefixes, and within the range the search's list index is always one
  // this build wrote. Filling run by run costs one step per short code, not one per prefix.
  constexpr unsigned kShift = 16 - kFastBits;
  std::uint32_t prefix = 0;
  for (unsigned len = 1; len <= kFastBits; ++len) {
    const std::uint32_t end = (limit_[len] + (1u << kShift) - 1) >> kShift;
    const std::uint32_t run = 1u << (kFastBits - len);
    const std::uint16_t* symbol = symbols_.data() + position_[len];
    for (; prefix < end; prefix += run) {
      std::fill_n(fast_.begin() + prefix, run, static_cast<std::uint16_t>(*symbol++ << 4 | len));
    }
  }
  std::fill(fast_.begin() + prefix, fast_.end(), std::uint16_t{0});
}

unsigned HuffmanTable::decode_by_limits(std::uint32_t v, unsigned& length) const {
  unsigned len = 1;
  while (len < 15 && v >= limit_[len]) ++len;
  length = len;
  // v >= limit[len - 1] by the search; an index past the symbols (an incomplete or
  // oversubscribed code) decodes as the list's first entry.
  const std::uint32_t i = position_[len] + ((v - limit_[len - 1]) >> (16 - len));
  return symbols_[i < symbol_count_ ? i : 0];
}

}  // namespace morvane
