#include "tools/rarpack/table_writer.h"

#include <algorithm>
#include <limits>

#include "tools/rarpack/huffman_lengths.h"

namespace morvane {
namespace {

using Op = TableTransmission::Op;

constexpr int kExtraBits[3] = {2, 3, 7};  // for symbols 16, 17, 18

std::uint64_t header_bits(int audio_channels) {
  return 2 + (audio_channels > 0 ? 2 : 0) + 4 * rarpack::kCodeLengthSymbols;
}

// Cheapest op sequence for the given symbol prices (in bits, extra bits excluded).
std::vector<Op> cheapest_ops(std::span<const std::uint8_t> lengths, std::span<const std::uint8_t> previous,
                             bool delta, const std::array<std::uint32_t, 19>& price) {
  const std::size_t n = lengths.size();
  std::vector<std::uint32_t> zeros(n + 1, 0), same(n + 1, 0);  // run lengths from each index
  for (std::size_t i = n; i-- > 0;) {
    zeros[i] = lengths[i] == 0 ? zeros[i + 1] + 1 : 0;
    same[i] = (i + 1 < n && lengths[i + 1] == lengths[i]) ? same[i + 1] + 1 : 1;
  }
  constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
  std::vector<std::uint64_t> cost(n + 1, kNone);
  std::vector<Op> pick(n);
  cost[n] = 0;
  for (std::size_t i = n; i-- > 0;) {
    const std::uint8_t value = delta ? static_cast<std::uint8_t>((lengths[i] - previous[i]) & 15) : lengths[i];
    std::uint64_t best = price[value] + cost[i + 1];
    Op op{value, 0};
    // Code 16 repeats the length before i.
    if (i > 0) {
      const std::size_t run = lengths[i] == lengths[i - 1] ? same[i] : 0;
      for (std::size_t r = 3; r <= std::min<std::size_t>(6, run); ++r)
        if (const std::uint64_t c = price[16] + kExtraBits[0] + cost[i + r]; c < best) {
          best = c;
          op = {16, static_cast<std::uint8_t>(r - 3)};
        }
    }
    for (std::size_t r = 3; r <= std::min<std::size_t>(10, zeros[i]); ++r)
      if (const std::uint64_t c = price[17] + kExtraBits[1] + cost[i + r]; c < best) {
        best = c;
        op = {17, static_cast<std::uint8_t>(r - 3)};
      }
    for (std::size_t r = 11; r <= std::min<std::size_t>(138, zeros[i]); ++r)
      if (const std::uint64_t c = price[18] + kExtraBits[2] + cost[i + r]; c < best) {
        best = c;
        op = {18, static_cast<std::uint8_t>(r - 11)};
      }
    cost[i] = best;
    pick[i] = op;
  }
  std::vector<Op> ops;
  for (std::size_t i = 0; i < n;) {
    ops.push_back(pick[i]);
    const Op& op = pick[i];
    i += op.symbol < 16 ? 1 : op.symbol == 18 ? op.extra + 11u : op.extra + 3u;
  }
  return ops;
}

// Builds the code-length code for `ops` and prices the whole transmission.
void complete(TableTransmission& t) {
  std::array<std::uint32_t, 19> counts{};
  std::uint64_t extra = 0;
  for (const Op& op : t.ops) {
    ++counts[op.symbol];
    if (op.symbol >= 16) extra += static_cast<std::uint64_t>(kExtraBits[op.symbol - 16]);
  }
  build_code_lengths(counts, rarpack::kMaxCodeLength, t.code_lengths);
  t.bits = header_bits(t.audio_channels) + extra;
  for (std::size_t s = 0; s < counts.size(); ++s) t.bits += static_cast<std::uint64_t>(counts[s]) * t.code_lengths[s];
}

TableTransmission plan_mode(std::span<const std::uint8_t> lengths, std::span<const std::uint8_t> previous,
                            int audio_channels, bool delta) {
  std::array<std::uint32_t, 19> price;
  price.fill(5);
  TableTransmission best;
  best.bits = std::numeric_limits<std::uint64_t>::max();
  for (int round = 0; round < 3; ++round) {
    TableTransmission t;
    t.audio_channels = audio_channels;
    t.delta = delta;
    t.ops = cheapest_ops(lengths, previous, delta, price);
    complete(t);
    for (std::size_t s = 0; s < price.size(); ++s) price[s] = t.code_lengths[s] ? t.code_lengths[s] : 12;
    if (t.bits < best.bits) best = std::move(t);
  }
  return best;
}

}  // namespace

TableTransmission plan_table_transmission(std::span<const std::uint8_t> lengths,
                                          std::span<const std::uint8_t> previous, int audio_channels) {
  TableTransmission absolute = plan_mode(lengths, {}, audio_channels, false);
  if (previous.size() < lengths.size()) return absolute;
  TableTransmission delta = plan_mode(lengths, previous.first(lengths.size()), audio_channels, true);
  return delta.bits < absolute.bits ? delta : absolute;
}

void write_table_transmission(BitWriter& out, const TableTransmission& t) {
  out.put((t.audio_channels > 0 ? 2u : 0u) | (t.delta ? 1u : 0u), 2);
  if (t.audio_channels > 0) out.put(static_cast<std::uint32_t>(t.audio_channels - 1), 2);
  for (std::uint8_t l : t.code_lengths) out.put(l, 4);
  std::array<std::uint16_t, 19> codes;
  build_canonical_codes(t.code_lengths, codes);
  for (const Op& op : t.ops) {
    out.put(codes[op.symbol], t.code_lengths[op.symbol]);
    if (op.symbol >= 16) out.put(op.extra, kExtraBits[op.symbol - 16]);
  }
}

}  // namespace morvane
