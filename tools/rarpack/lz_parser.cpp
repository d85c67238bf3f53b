#include "tools/rarpack/lz_parser.h"

#include <algorithm>

#include "tools/rarpack/huffman_lengths.h"

namespace morvane {
namespace {

using namespace rarpack;

constexpr std::uint32_t kBit = 16;  // prices are in 1/16 bit
// A match at least this long is taken without looking one byte further for a better one.
constexpr std::uint32_t kLazyLimit = 64;

struct Choice {
  enum Kind : std::uint8_t { kLiteral, kNew, kRecent, kRepeatLast, kShort } kind = kLiteral;
  std::uint32_t length = 1;
  std::uint32_t distance = 0;
  std::uint32_t recent_index = 0;  // 1..4 for kRecent
  std::int64_t saving = 0;         // price of the covered bytes as literals minus the price of this
};

class Parser {
 public:
  Parser(std::span<const std::uint8_t> stream, std::size_t begin, std::size_t end, MatchFinder& finder,
         LzState& state, const LzPrices& prices)
      : s_(stream), begin_(begin), end_(end), finder_(finder), state_(state), prices_(prices) {
    literal_sum_.resize(end - begin + 1);
    std::int64_t sum = 0;
    literal_sum_[0] = 0;
    for (std::size_t i = begin; i < end; ++i) {
      sum += prices.price[s_[i]];
      literal_sum_[i - begin + 1] = sum;
    }
  }

  Choice best_at(std::size_t pos) {
    finder_.insert_until(s_, pos);
    Choice best;
    const std::size_t left = end_ - pos;
    if (left < 2) return best;
    const std::uint8_t* here = s_.data() + pos;

    if (state_.last_length > 0 && state_.last_length <= left && state_.last_distance <= pos &&
        match_length(here, here - state_.last_distance, state_.last_length) == state_.last_length)
      consider(best, pos, {Choice::kRepeatLast, state_.last_length, state_.last_distance, 0, 0},
               prices_.price[kRepeatLastMatch]);

    for (std::uint32_t k = 1; k <= 4; ++k) {
      const std::uint32_t distance = state_.recent[(state_.counter - k) & 3];
      if (distance == 0 || distance > pos) continue;
      bool seen = false;
      for (std::uint32_t j = 1; j < k; ++j) seen |= state_.recent[(state_.counter - j) & 3] == distance;
      if (seen) continue;
      const std::uint32_t bonus = recent_match_bonus(distance);
      const std::uint32_t limit = static_cast<std::uint32_t>(std::min<std::size_t>(left, 257 + bonus));
      const std::uint32_t length = match_length(here, here - distance, limit);
      if (length < 2 + bonus) continue;
      const int slot = length_slot(length - bonus - 2);
      consider(best, pos, {Choice::kRecent, length, distance, k, 0},
               prices_.price[kFirstRecentDistance - 1 + k] + prices_.price[kRepeatLengthOffset + slot] +
                   kLengthBits[slot] * kBit);
    }

    if (const std::uint32_t distance = finder_.pair_distance(s_, pos); distance > 0 && distance <= 256) {
      const int slot = short_distance_slot(distance - 1);
      consider(best, pos, {Choice::kShort, 2, distance, 0, 0},
               prices_.price[kFirstShortMatch + slot] + kShortDistanceBits[slot] * kBit);
    }

    std::array<MatchCandidate, 32> found;
    const std::size_t n = finder_.find(s_, pos, static_cast<std::uint32_t>(std::min<std::size_t>(left, 260)), found);
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t distance = found[i].distance;
      const std::uint32_t length = found[i].length;
      const int lslot = length_slot(length - new_match_bonus(distance) - 3);
      const int dslot = distance_slot(distance - 1);
      consider(best, pos, {Choice::kNew, length, distance, 0, 0},
               prices_.price[kFirstLengthSlot + lslot] + kLengthBits[lslot] * kBit +
                   prices_.price[kDistanceOffset + dslot] + kDistanceBits[dslot] * kBit);
    }
    return best;
  }

  // Appends the symbols of a choice and updates the decoder's LZ state as it will.
  void emit(const Choice& c, std::size_t pos, std::vector<CodedSymbol>& out) {
    switch (c.kind) {
      case Choice::kLiteral:
        out.push_back({0, s_[pos], 0});
        return;
      case Choice::kRepeatLast:
        out.push_back({0, kRepeatLastMatch, 0});
        state_.add_match(c.distance, c.length, true);
        return;
      case Choice::kRecent: {
        const std::uint32_t value = c.length - recent_match_bonus(c.distance) - 2;
        const int slot = length_slot(value);
        out.push_back({0, static_cast<std::uint16_t>(kFirstRecentDistance - 1 + c.recent_index), 0});
        out.push_back({value - kLengthBase[slot], static_cast<std::uint16_t>(kRepeatLengthOffset + slot), kLengthBits[slot]});
        break;
      }
      case Choice::kShort: {
        const int slot = short_distance_slot(c.distance - 1);
        out.push_back({c.distance - 1 - kShortDistanceBase[slot], static_cast<std::uint16_t>(kFirstShortMatch + slot),
                       kShortDistanceBits[slot]});
        break;
      }
      case Choice::kNew: {
        const std::uint32_t value = c.length - new_match_bonus(c.distance) - 3;
        const int lslot = length_slot(value);
        const int dslot = distance_slot(c.distance - 1);
        out.push_back({value - kLengthBase[lslot], static_cast<std::uint16_t>(kFirstLengthSlot + lslot), kLengthBits[lslot]});
        out.push_back({c.distance - 1 - kDistanceBase[dslot], static_cast<std::uint16_t>(kDistanceOffset + dslot),
                       kDistanceBits[dslot]});
        break;
      }
    }
    state_.add_match(c.distance, c.length, false);
  }

 private:
  void consider(Choice& best, std::size_t pos, Choice c, std::uint32_t price) const {
    const std::size_t i = pos - begin_;
    c.saving = literal_sum_[i + c.length] - literal_sum_[i] - static_cast<std::int64_t>(price);
    if (c.saving > best.saving) best = c;
  }

  std::span<const std::uint8_t> s_;
  std::size_t begin_, end_;
  MatchFinder& finder_;
  LzState& state_;
  const LzPrices& prices_;
  std::vector<std::int64_t> literal_sum_;
};

}  // namespace

LzPrices LzPrices::flat() {
  LzPrices p;
  auto fill = [&](int from, int count, std::uint32_t bits16) {
    for (int i = 0; i < count; ++i) p.price[static_cast<std::size_t>(from + i)] = bits16;
  };
  fill(0, kMainSymbols, 8 * kBit + 3);
  fill(kDistanceOffset, kDistanceSymbols, 5 * kBit + 9);
  fill(kRepeatLengthOffset, kRepeatLengthSymbols, 4 * kBit + 13);
  return p;
}

LzPrices LzPrices::from_counts(std::span<const std::uint32_t> counts) {
  LzPrices p;
  std::array<std::uint32_t, kLzTableSize> smoothed;
  for (std::size_t i = 0; i < smoothed.size(); ++i) smoothed[i] = 4 * counts[i] + 1;
  std::array<std::uint8_t, kLzTableSize> lengths;
  const std::span<const std::uint32_t> all(smoothed);
  const std::span<std::uint8_t> out(lengths);
  build_code_lengths(all.subspan(0, kMainSymbols), kMaxCodeLength, out.subspan(0, kMainSymbols));
  build_code_lengths(all.subspan(kDistanceOffset, kDistanceSymbols), kMaxCodeLength,
                     out.subspan(kDistanceOffset, kDistanceSymbols));
  build_code_lengths(all.subspan(kRepeatLengthOffset, kRepeatLengthSymbols), kMaxCodeLength,
                     out.subspan(kRepeatLengthOffset, kRepeatLengthSymbols));
  for (std::size_t i = 0; i < lengths.size(); ++i) p.price[i] = lengths[i] * kBit;
  return p;
}

void parse_lz(std::span<const std::uint8_t> stream, std::size_t begin, std::size_t end, MatchFinder& finder,
              LzState& state, const LzPrices& prices, std::vector<CodedSymbol>& out) {
  Parser parser(stream, begin, end, finder, state, prices);
  std::size_t pos = begin;
  Choice best = parser.best_at(pos);
  while (pos < end) {
    Choice next;
    const bool lazy = best.kind != Choice::kLiteral && best.length < kLazyLimit && pos + 1 < end;
    if (lazy) next = parser.best_at(pos + 1);
    if (lazy && next.saving > best.saving) {
      parser.emit(Choice{}, pos, out);
      ++pos;
      best = next;
      continue;
    }
    parser.emit(best, pos, out);
    pos += best.length;
    if (pos < end) best = parser.best_at(pos);
  }
  finder.insert_until(stream, end);
}

}  // namespace morvane
