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

  std::array<std::uint32_t, 16> next = position_;
  for (unsigned s = 0; s < n; ++s) {
    const unsigned len = lengths[s] & 15;
    if (len != 0) symbols_[next[len]++] = static_cast<std::uint16_t>(s);
  }
  symbol_count_ = n;

  // Every bit pattern under a prefix whose limit search ends within kFastBits takes the same
  // way: limits up to that length are multiples of 2^(16 - length), or capped at 0xFFFF, which
  // every even v lies below. The search result only grows with v, so one sweep finds them all.
  unsigned len = 1;
  for (std::uint32_t prefix = 0; prefix < fast_.size(); ++prefix) {
    const std::uint32_t v = prefix << (16 - kFastBits);
    while (len < 15 && v >= limit_[len]) ++len;
    if (len > kFastBits) {
      std::fill(fast_.begin() + prefix, fast_.end(), std::uint16_t{0});
      break;
    }
    const std::uint32_t i = position_[len] + ((v - limit_[len - 1]) >> (16 - len));
    fast_[prefix] = static_cast<std::uint16_t>(symbols_[i < symbol_count_ ? i : 0] << 4 | len);
  }
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
