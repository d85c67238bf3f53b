#include "tools/rarpack/match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "tools/rarpack/rar20_format.h"

namespace morvane {
namespace {

std::uint32_t hash3(const std::uint8_t* p, int bits) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  return (v * 2654435761u) >> (32 - bits);
}

}  // namespace

std::uint32_t match_length(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
  std::uint32_t n = 0;
  while (n + 8 <= limit) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      static_assert(std::endian::native == std::endian::little);
      return n + static_cast<std::uint32_t>(std::countr_zero(x ^ y) / 8);
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

MatchFinder::MatchFinder(std::size_t capacity, int max_chain) : max_chain_(std::max(max_chain, 1)) {
  const std::size_t window = std::min<std::size_t>(rarpack::kWindowSize, std::bit_ceil(std::max<std::size_t>(capacity, 64)));
  mask_ = window - 1;
  head_.assign(std::size_t{1} << kHashBits, -1);
  chain_.assign(window, -1);
  pair_.assign(65536, -1);
}

void MatchFinder::reset() {
  std::fill(head_.begin(), head_.end(), -1);
  std::fill(chain_.begin(), chain_.end(), -1);
  std::fill(pair_.begin(), pair_.end(), -1);
  inserted_ = 0;
}

void MatchFinder::insert_until(std::span<const std::uint8_t> stream, std::size_t end) {
  end = std::min(end, stream.size() >= 2 ? stream.size() - 2 : 0);
  const std::uint8_t* s = stream.data();
  for (; inserted_ < end; ++inserted_) {
    const std::size_t p = inserted_;
    const std::uint32_t h = hash3(s + p, kHashBits);
    chain_[p & mask_] = head_[h];
    head_[h] = static_cast<std::int32_t>(p);
    pair_[static_cast<std::size_t>(s[p]) << 8 | s[p + 1]] = static_cast<std::int32_t>(p);
  }
}

std::size_t MatchFinder::find(std::span<const std::uint8_t> stream, std::size_t pos, std::uint32_t max_length,
                              std::span<MatchCandidate> out) const {
  if (max_length < 3 || pos + 3 > stream.size() || out.empty()) return 0;
  const std::uint8_t* s = stream.data();
  std::size_t found = 0;
  std::uint32_t best = 2;
  std::int32_t cand = head_[hash3(s + pos, kHashBits)];
  const std::int32_t here = static_cast<std::int32_t>(pos);
  for (int steps = max_chain_; cand >= 0 && cand < here && steps > 0; --steps) {
    const std::uint32_t distance = static_cast<std::uint32_t>(here - cand);
    if (distance > rarpack::kMaxDistance) break;
    const std::uint32_t bonus = rarpack::new_match_bonus(distance);
    const std::uint32_t limit = std::min(max_length, 258 + bonus);
    if (limit > best && s[static_cast<std::size_t>(cand) + best] == s[pos + best]) {
      const std::uint32_t length = match_length(s + pos, s + cand, limit);
      if (length > best && length >= 3 + bonus) {
        best = length;
        out[found++] = {length, distance};
        if (length >= std::min(limit, kNiceLength) || found == out.size()) break;
      }
    }
    const std::int32_t next = chain_[static_cast<std::size_t>(cand) & mask_];
    if (next >= cand) break;  // a slot reused by a newer position: the chain ends here
    cand = next;
  }
  return found;
}

std::uint32_t MatchFinder::pair_distance(std::span<const std::uint8_t> stream, std::size_t pos) const {
  if (pos + 2 > stream.size()) return 0;
  const std::int32_t q = pair_[static_cast<std::size_t>(stream[pos]) << 8 | stream[pos + 1]];
  return q >= 0 && static_cast<std::size_t>(q) < pos ? static_cast<std::uint32_t>(pos - static_cast<std::size_t>(q)) : 0;
}

}  // namespace morvane
