#include "tools/rarpack/huffman_lengths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <queue>
#include <random>
#include <vector>

#include "archive/bit_input.h"
#include "archive/byte_reader.h"
#include "archive/huffman_table.h"
#include "tools/rarpack/bit_writer.h"

namespace morvane {
namespace {

// Kraft sum scaled by 2^15: at most 32768 for a prefix code, exactly that for a complete one.
std::uint64_t kraft(const std::vector<std::uint8_t>& lengths) {
  std::uint64_t sum = 0;
  for (std::uint8_t l : lengths)
    if (l) sum += std::uint64_t{1} << (15 - l);
  return sum;
}

std::uint64_t cost(const std::vector<std::uint32_t>& counts, const std::vector<std::uint8_t>& lengths) {
  std::uint64_t c = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) c += std::uint64_t{counts[i]} * lengths[i];
  return c;
}

// Cost of an unrestricted Huffman code, by the textbook merging of the two lightest weights.
std::uint64_t huffman_cost(const std::vector<std::uint32_t>& counts) {
  std::priority_queue<std::uint64_t, std::vector<std::uint64_t>, std::greater<>> q;
  for (std::uint32_t c : counts)
    if (c) q.push(c);
  std::uint64_t total = 0;
  while (q.size() > 1) {
    const std::uint64_t a = q.top();
    q.pop();
    const std::uint64_t b = q.top();
    q.pop();
    total += a + b;
    q.push(a + b);
  }
  return total;
}

std::vector<std::uint8_t> lengths_of(const std::vector<std::uint32_t>& counts, int limit = 15) {
  std::vector<std::uint8_t> lengths(counts.size());
  build_code_lengths(counts, limit, lengths);
  return lengths;
}

TEST(HuffmanLengths, OptimalWhenTheLimitDoesNotBind) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::uint32_t> counts(2 + rng() % 300);
    for (auto& c : counts) c = rng() % 4 == 0 ? 0 : 100 + rng() % 1000;  // at most ~12 bits deep
    counts[0] = counts[1] = 100;
    const std::vector<std::uint8_t> lengths = lengths_of(counts);
    EXPECT_EQ(kraft(lengths), 32768u);
    EXPECT_EQ(cost(counts, lengths), huffman_cost(counts));
  }
  EXPECT_EQ(lengths_of({0, 0, 0}), (std::vector<std::uint8_t>{0, 0, 0}));
  EXPECT_EQ(lengths_of({0, 9, 0}), (std::vector<std::uint8_t>{0, 1, 0}));  // a code needs one bit
}

// Smallest cost over every length vector within the limit that satisfies Kraft's inequality.
std::uint64_t best_limited_cost(const std::vector<std::uint32_t>& counts, int limit) {
  std::vector<std::uint8_t> l(counts.size(), 1);
  std::uint64_t best = ~std::uint64_t{0};
  for (;;) {
    if (kraft(l) <= 32768u) best = std::min(best, cost(counts, l));
    std::size_t i = 0;
    while (i < l.size() && l[i] == limit) l[i++] = 1;
    if (i == l.size()) return best;
    ++l[i];
  }
}

TEST(HuffmanLengths, OptimalUnderABindingLimit) {
  std::mt19937 rng(9);
  for (int round = 0; round < 30; ++round) {
    std::vector<std::uint32_t> counts(5 + rng() % 4);
    for (auto& c : counts) c = 1 + (rng() % 2 ? rng() % 3 : rng() % 500);
    const std::vector<std::uint8_t> lengths = lengths_of(counts, 4);
    EXPECT_LE(*std::max_element(lengths.begin(), lengths.end()), 4);
    EXPECT_LE(kraft(lengths), 32768u);
    EXPECT_EQ(cost(counts, lengths), best_limited_cost(counts, 4));
  }
}

TEST(HuffmanLengths, FibonacciCountsAreCutToFifteenBits) {
  // Unlimited, these counts would give a code 39 bits deep.
  std::vector<std::uint32_t> counts(40);
  counts[0] = counts[1] = 1;
  for (std::size_t i = 2; i < counts.size(); ++i) counts[i] = counts[i - 1] + counts[i - 2];
  const std::vector<std::uint8_t> lengths = lengths_of(counts);
  EXPECT_EQ(*std::max_element(lengths.begin(), lengths.end()), 15);
  EXPECT_EQ(kraft(lengths), 32768u);
  // Less frequent symbols never get shorter codes.
  for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_LE(lengths[i], lengths[i - 1]);
  // A tighter limit binds just the same.
  const std::vector<std::uint32_t> small(counts.begin(), counts.begin() + 19);
  const std::vector<std::uint8_t> short_lengths = lengths_of(small, 5);
  EXPECT_EQ(*std::max_element(short_lengths.begin(), short_lengths.end()), 5);
  EXPECT_EQ(kraft(short_lengths), 32768u);
}

// Writes every symbol's canonical code and reads it back with the unpacker's decoding table.
TEST(HuffmanLengths, CanonicalCodesDecodeWithTheUnpackersTable) {
  std::mt19937 rng(3);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::uint32_t> counts(298);
    for (auto& c : counts) c = rng() % 3 == 0 ? 0 : 1 + (rng() % 2 ? rng() % 20000 : rng() % 5);
    const std::vector<std::uint8_t> lengths = lengths_of(counts);
    std::vector<std::uint16_t> codes(lengths.size());
    build_canonical_codes(lengths, codes);

    BitWriter out;
    std::vector<unsigned> sent;
    for (unsigned s = 0; s < lengths.size(); ++s)
      if (lengths[s]) {
        out.put(codes[s], lengths[s]);
        sent.push_back(s);
      }
    const std::vector<std::uint8_t> bytes = out.finish();
    MemoryReader reader(bytes);
    BitInput in;
    in.first_fill(reader);
    HuffmanTable table;
    table.build(lengths);
    for (unsigned s : sent) ASSERT_EQ(table.decode(in), s);
  }
}

}  // namespace
}  // namespace morvane
