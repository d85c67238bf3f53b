// The packer's streams decoded by the project's own unpacker, entry by entry, in memory; and
// the code lengths the packer's tables are made of.
#include "tools/rarpack/rar20_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/huffman_lengths.h"

namespace morvane {
namespace {

using test::Bytes;

// Packs entries as one solid stream (or each on its own) and unpacks them again.
class RoundTrip {
 public:
  explicit RoundTrip(EncoderSettings settings = {}) : encoder_(std::move(settings), 1 << 20) {}

  Bytes run(const Bytes& in, bool continues, bool more_follow = false) {
    packed_ = encoder_.encode(in, !continues, more_follow, &report_);
    MemoryReader reader(packed_);
    Bytes out;
    unpacker_.unpack(reader, static_cast<std::uint32_t>(in.size()), continues, &out);
    return out;
  }
  const EncodeReport& report() const { return report_; }
  const Bytes& packed() const { return packed_; }

 private:
  Rar20Encoder encoder_;
  Rar20Unpacker unpacker_;
  EncodeReport report_;
  Bytes packed_;
};

TEST(Rar20Encoder, EverySymbolKindAndTableSwitches) {
  for (std::size_t segment : {8192ul, 1500ul}) {
    SCOPED_TRACE(segment);
    EncoderSettings settings;
    settings.segment_size = segment;
    RoundTrip rt(settings);
    const Bytes in = test::mixture(200000, 11);
    EXPECT_EQ(rt.run(in, false), in);
    const EncodeReport& r = rt.report();
    for (std::size_t n : {r.literals, r.new_matches, r.recent_matches, r.last_match_repeats, r.short_matches, r.table_switches})
      EXPECT_GT(n, 0u);
    EXPECT_LT(rt.packed().size(), in.size() / 2);
    EXPECT_EQ(r.table_transmissions, r.table_switches + 1);
    if (segment < 8192) {  // small segments switch between LZ and multimedia tables
      std::size_t audio = 0;
      for (std::size_t n : r.audio_blocks) audio += n;
      EXPECT_GT(r.lz_blocks, 1u);
      EXPECT_GT(audio, 1u);
    }
  }
}

TEST(Rar20Encoder, SmoothWavesChooseTheirChannelCount) {
  for (int channels = 1; channels <= 4; ++channels) {
    RoundTrip rt;
    const Bytes in = test::waves(40000, channels, 3);
    EXPECT_EQ(rt.run(in, false), in);
    EXPECT_EQ(rt.report().audio_blocks[static_cast<std::size_t>(channels - 1)], 1u) << channels;
    EXPECT_EQ(rt.report().lz_blocks, 0u);
    EXPECT_LT(rt.packed().size(), in.size() / 3);
  }
}

TEST(Rar20Encoder, TinyIncompressibleAndSolidEntries) {
  for (const Bytes& in : {Bytes{42}, Bytes{1, 1}, Bytes(3, 0), Bytes(300, 7), test::random_bytes(5000, 5)}) {
    RoundTrip rt;
    EXPECT_EQ(rt.run(in, false), in) << in.size();
  }
  // Solid entries go on with the window, the recent distances, the tables and the audio state.
  RoundTrip rt;
  const Bytes text = test::word_text(30000, 6);
  const Bytes entries[] = {text, Bytes(text.begin() + 5000, text.begin() + 25000), test::waves(30000, 2, 7),
                           test::waves(999, 3, 8), test::records(7000, 9), {3}, test::mixture(20000, 10)};
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    EXPECT_EQ(rt.run(entries[i], i > 0, i + 1 < std::size(entries)), entries[i]) << i;
    if (i == 1) {
      EXPECT_LT(rt.packed().size(), 100u) << "one reference into the first entry";
    }
  }
  // A small entry after a large one keeps the tables that cover it.
  RoundTrip keep;
  EXPECT_EQ(keep.run(test::random_bytes(60000, 1), false, true), test::random_bytes(60000, 1));
  EXPECT_EQ(keep.run(test::random_bytes(3000, 2), true), test::random_bytes(3000, 2));
  EXPECT_TRUE(keep.report().kept_tables);
  EXPECT_EQ(keep.report().table_transmissions, 0u);
}

std::uint64_t kraft(const std::vector<std::uint8_t>& lengths) {  // scaled by 2^15
  std::uint64_t sum = 0;
  for (std::uint8_t l : lengths) sum += l ? std::uint64_t{1} << (15 - l) : 0;
  return sum;
}

std::uint64_t cost(const std::vector<std::uint32_t>& counts, const std::vector<std::uint8_t>& lengths) {
  std::uint64_t c = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) c += std::uint64_t{counts[i]} * lengths[i];
  return c;
}

std::vector<std::uint8_t> lengths_of(const std::vector<std::uint32_t>& counts, int limit) {
  std::vector<std::uint8_t> lengths(counts.size());
  build_code_lengths(counts, limit, lengths);
  return lengths;
}

TEST(HuffmanLengths, CompleteWithinTheLimitAndOptimal) {
  std::mt19937 rng(7);
  EXPECT_EQ(lengths_of({0, 9, 0}, 15), (std::vector<std::uint8_t>{0, 1, 0})) << "a code needs one bit";
  // Fibonacci counts would give a code 39 bits deep: cut to the limit, complete, and still
  // optimal against every length vector within a small limit.
  std::vector<std::uint32_t> fibonacci(40, 1);
  for (std::size_t i = 2; i < fibonacci.size(); ++i) fibonacci[i] = fibonacci[i - 1] + fibonacci[i - 2];
  const std::vector<std::uint8_t> cut = lengths_of(fibonacci, 15);
  EXPECT_EQ(*std::max_element(cut.begin(), cut.end()), 15);
  EXPECT_EQ(kraft(cut), 32768u);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::uint32_t> counts(5 + rng() % 3);
    for (auto& c : counts) c = 1 + (rng() % 2 ? rng() % 3 : rng() % 500);
    std::uint64_t best = ~std::uint64_t{0};
    for (std::vector<std::uint8_t> l(counts.size(), 1);;) {  // every vector of lengths 1 to 4
      if (kraft(l) <= 32768u) best = std::min(best, cost(counts, l));
      std::size_t i = 0;
      while (i < l.size() && l[i] == 4) l[i++] = 1;
      if (i == l.size()) break;
      ++l[i];
    }
    const std::vector<std::uint8_t> lengths = lengths_of(counts, 4);
    EXPECT_LE(kraft(lengths), 32768u);
    EXPECT_EQ(cost(counts, lengths), best);
  }
}

}  // namespace
}  // namespace morvane
