// RAR 2.0 decoding cases that neither the real archives nor the packer reach, written symbol by
// symbol; damaged streams; the predictor's weight limits; the decoding table's short cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>

#include "archive/audio_predictor.h"
#include "archive/byte_reader.h"
#include "archive/huffman_table.h"
#include "archive/rar20_unpacker.h"
#include "tests/archive/stream_writer.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar20_encoder.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {
namespace {

using test::Bytes;
using test::StreamWriter;
using Op = TableTransmission::Op;

Bytes unpack(std::span<const std::uint8_t> stream, std::uint32_t size) {
  Rar20Unpacker unpacker;
  MemoryReader reader(stream);
  Bytes out;
  unpacker.unpack(reader, size, false, &out);
  return out;
}

Bytes bytes_of(std::string_view s) { return {s.begin(), s.end()}; }

// Ops that take the lengths from `at` up to `end` to zero: runs of code 18 (11 to 138), single
// codes 0 for the rest (in a relative transmission, 0 keeps a previous 0).
void zeros(std::vector<Op>& ops, std::size_t& at, std::size_t end) {
  while (at < end) {
    const std::size_t run = std::min<std::size_t>(end - at, 138);
    ops.push_back(run >= 11 ? Op{18, static_cast<std::uint8_t>(run - 11)} : Op{0, 0});
    at += run >= 11 ? run : 1;
  }
}

TEST(Rar20Unpacker, EntrySizeBoundsTheOutput) {
  StreamWriter w;
  w.tables(test::full_lz_lengths());
  w.literals("x");
  w.symbol(StreamWriter::kMain, 270 + 7);  // length slot 7: 10
  w.symbol(StreamWriter::kDistance, 0);    // distance 1: the preceding byte, over and over
  const Bytes stream = w.finish();
  EXPECT_TRUE(unpack(stream, 0).empty());
  EXPECT_EQ(unpack(stream, 5), bytes_of("xxxxx")) << "a match past the entry size is cut there";
  EXPECT_EQ(unpack(stream, 11), bytes_of("xxxxxxxxxxx"));
}

TEST(Rar20Unpacker, FarDistancesLengthenMatchesFromTheirBoundaries) {
  // Each distance after that many bytes of history: a new match, then the same distance again
  // as recent distance 1, both with the shortest length code (3 and 2 before the bonuses).
  struct Case {
    std::uint32_t distance, new_length, recent_length;
  };
  for (const Case c : {Case{0x100, 3, 2}, Case{0x101, 3, 3}, Case{0x1FFF, 3, 3}, Case{0x2000, 4, 4}, Case{0x3FFFF, 4, 4},
                       Case{0x40000, 5, 5}}) {
    SCOPED_TRACE(c.distance);
    Bytes expected = test::random_bytes(c.distance, c.distance);
    StreamWriter w;
    w.tables(test::full_lz_lengths());
    for (std::uint8_t b : expected) w.symbol(StreamWriter::kMain, b);
    const int slot = rarpack::distance_slot(c.distance - 1);
    w.symbol(StreamWriter::kMain, 270);
    w.symbol(StreamWriter::kDistance, static_cast<unsigned>(slot));
    w.extra(c.distance - 1 - rarpack::kDistanceBase[static_cast<std::size_t>(slot)], rarpack::kDistanceBits[static_cast<std::size_t>(slot)]);
    w.symbol(StreamWriter::kMain, 257);
    w.symbol(StreamWriter::kRepeat, 0);
    w.literals("!");
    for (std::uint32_t k = 0; k < c.new_length + c.recent_length; ++k) expected.push_back(expected[expected.size() - c.distance]);
    expected.push_back('!');
    EXPECT_EQ(unpack(w.finish(), static_cast<std::uint32_t>(expected.size())), expected);
  }
}

TEST(Rar20Unpacker, RepeatCodeAtTheFirstPositionRepeatsZero) {
  // Also in a relative transmission whose previous lengths there are 3: a stale 3 would come
  // first in the code order and move the code of 'x'.
  StreamWriter w;
  std::vector<std::uint8_t> first(374, 0);
  std::fill(first.begin(), first.begin() + 6, 3);
  first[269] = 3;
  w.tables(first);
  w.symbol(StreamWriter::kMain, 269);
  TableTransmission t;
  t.delta = true;
  t.code_lengths[0] = t.code_lengths[3] = t.code_lengths[16] = t.code_lengths[18] = 2;
  t.ops = {{16, 3}};
  std::size_t at = 6;
  zeros(t.ops, at, 'x');
  t.ops.push_back({3, 0});  // 0 + 3
  zeros(t.ops, ++at, 269);
  t.ops.push_back({0, 0});  // 3 + 0
  zeros(t.ops, ++at, 374);
  std::vector<std::uint8_t> result(374, 0);
  result['x'] = result[269] = 3;
  w.tables(t, result);
  w.literals("xxxxx");
  EXPECT_EQ(unpack(w.finish(), 5), bytes_of("xxxxx"));
}

TEST(Rar20Unpacker, TablesSentBehindTheLastByteServeTheNextSolidEntry) {
  StreamWriter w;
  w.tables(test::full_lz_lengths());
  w.literals("solid!");
  w.symbol(StreamWriter::kMain, 269);  // the end-of-entry look must pick these up
  std::vector<std::uint8_t> next(374, 0);
  next['s'] = next['!'] = next[269] = next[256] = next[273] = 3;
  next[298 + 4] = 1;  // distance slot 4: 5 and 6
  next[346] = 1;
  w.tables(next);
  const Bytes first = w.finish();
  w.symbol(StreamWriter::kMain, 273);  // length slot 3: 6
  w.symbol(StreamWriter::kDistance, 4);
  w.extra(1, 1);  // distance 6: the whole first entry again, from the window
  w.literals("s");
  const Bytes second = w.finish();

  Rar20Unpacker unpacker;
  Bytes out1, out2;
  MemoryReader r1(first), r2(second);
  unpacker.unpack(r1, 6, false, &out1);
  unpacker.unpack(r2, 7, true, &out2);
  EXPECT_EQ(out1, bytes_of("solid!"));
  EXPECT_EQ(out2, bytes_of("solid!s"));
}

TEST(Rar20Unpacker, DamagedStreamsStaySafeAndStop) {
  // Cut packed data, random bytes and huge sizes: no out-of-bounds access (the sanitizer build
  // checks), output never beyond the entry size, and a dry stream stops on its own.
  const Bytes data = test::word_text(40000, 9);
  const Bytes stream = Rar20Encoder({}, data.size()).encode(data, true, false);
  for (std::size_t cut : {0ul, 1ul, 3ul, 50ul, 1000ul, stream.size() / 2, stream.size() - 1}) {
    const Bytes out = unpack(std::span(stream).first(cut), static_cast<std::uint32_t>(data.size()));
    EXPECT_LE(out.size(), data.size());
    if (cut >= 1000) {  // what the data before the cut says comes out right
      ASSERT_GE(out.size(), 100u);
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + 100, data.begin()));
    }
  }
  std::mt19937 rng(3);
  for (int round = 0; round < 150; ++round) {
    const Bytes junk = test::random_bytes(rng() % 20000, rng());
    const std::uint32_t size = round % 10 == 0 ? 0x7FFFFFFFu : rng() % 300000;
    const Bytes out = unpack(junk, size);
    EXPECT_LE(out.size(), size);
    EXPECT_LE(out.size(), 64u << 20) << "a dry stream must not run on to the full size";
  }
}

TEST(AudioPredictor, WeightsStopAtTheirLimits) {
  // Differences steered so that one error sum always wins: first the one that lowers K1, then
  // the one that raises K2, long enough for both to reach their limits and stay there.
  AudioChannel c;
  std::int32_t channel_delta = 0;
  int lowest = 0, highest = 0;
  for (int i = 0; i < 40000; ++i) {
    const bool lower_k1 = i < 20000;
    const int term = lower_k1 ? c.last_delta : -(c.last_delta - c.d1);
    const int d = term == 0 ? static_cast<int>(i * 37 % 256) - 128 : std::clamp((term + (term > 0 ? 4 : -4)) / 8, -128, 127);
    predict_audio_byte(c, channel_delta, static_cast<unsigned>(d) & 0xFF);
    for (int k : {c.k1, c.k2, c.k3, c.k4, c.k5}) {
      ASSERT_GE(k, -17) << i;
      ASSERT_LE(k, 16) << i;
      lowest = std::min(lowest, k);
      highest = std::max(highest, k);
    }
  }
  EXPECT_EQ(lowest, -17);
  EXPECT_EQ(highest, 16);
}

// A bit source that always shows the same 16 bits.
struct FixedBits {
  std::uint32_t bits;
  unsigned skipped = 0;
  std::uint32_t peek() const { return bits; }
  void skip(unsigned n) { skipped += n; }
};

TEST(HuffmanTable, ShortCutDecodesLikeTheLimitSearch) {
  // Every 16-bit pattern, under complete, incomplete, oversubscribed, empty and long-code
  // tables; each alphabet reuses its table, as the decoder does.
  std::mt19937 rng(11);
  std::array<HuffmanTable, 3> tables;
  const std::size_t sizes[] = {298, 48, 19};
  for (int round = 0; round < 30; ++round) {
    const std::size_t n = sizes[round % 3];
    std::vector<std::uint8_t> lengths(n);
    std::vector<std::uint32_t> counts(n);
    const int kind = round % 5;  // oversubscribed, sparse, empty, only long codes, complete
    for (std::size_t s = 0; s < n; ++s) {
      const unsigned r = rng() % 16;
      lengths[s] = static_cast<std::uint8_t>(kind == 0 ? r : kind == 1 ? (rng() % 4 ? 0 : r) : kind == 3 ? (r < 8 ? 0 : 12 + r % 4) : 0);
      counts[s] = rng() % 1000;
    }
    if (kind == 4) build_code_lengths(counts, 15, lengths);
    HuffmanTable& table = tables[static_cast<std::size_t>(round % 3)];
    table.build(lengths);
    for (std::uint32_t v = 0; v < 0x10000; v += 2) {
      FixedBits in{v};
      unsigned length = 0;
      ASSERT_EQ(table.decode(in), table.decode_by_limits(v, length)) << "round " << round << " bits " << v;
      ASSERT_EQ(in.skipped, length);
    }
  }
  // List places no code reaches keep what an earlier build put there.
  HuffmanTable table;
  table.build(std::vector<std::uint8_t>(298, 9));
  std::vector<std::uint8_t> one(298, 0);
  one[5] = 1;
  table.build(one);
  unsigned length = 0;
  EXPECT_EQ(table.decode_by_limits(0x8000, length), 1u);
  // A table never built (a solid entry decoded first) reads 15 bits as symbol 0.
  FixedBits in{0xFFFE};
  EXPECT_EQ(HuffmanTable().decode(in), 0u);
  EXPECT_EQ(in.skipped, 15u);
}

}  // namespace
}  // namespace morvane
