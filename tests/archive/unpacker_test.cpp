// RAR 2.0 decoding cases the real archives do not reach, written symbol by symbol with the
// test writer, plus round trips through the test packer and damaged streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>

#include "archive/audio_predictor.h"
#include "archive/byte_reader.h"
#include "archive/huffman_table.h"
#include "archive/rar20_unpacker.h"
#include "tests/archive/rar20_test_writer.h"

namespace morvane {
namespace {

using test::Rar20Packer;
using test::Rar20Writer;

std::vector<std::uint8_t> unpack(std::span<const std::uint8_t> stream, std::uint32_t size) {
  Rar20Unpacker unpacker;
  MemoryReader reader(stream);
  std::vector<std::uint8_t> out;
  unpacker.unpack(reader, size, false, &out);
  return out;
}

std::vector<std::uint8_t> bytes_of(const std::string& s) { return {s.begin(), s.end()}; }

// Tables in which every main, distance and repeat-length symbol has a code.
std::vector<std::uint8_t> full_lz_lengths() {
  std::vector<std::uint8_t> l(374, 9);
  for (int i = 298; i < 374; ++i) l[static_cast<std::size_t>(i)] = 6;
  return l;
}

Rar20Writer writer_with_full_tables() {
  Rar20Writer w;
  w.lz_tables(full_lz_lengths());
  return w;
}

TEST(Rar20Unpacker, EmptyEntryDeliversNothing) {
  Rar20Writer w = writer_with_full_tables();
  w.literal('x');
  EXPECT_TRUE(unpack(w.bytes(), 0).empty());
}

TEST(Rar20Unpacker, DistanceOneRepeatsThePrecedingByte) {
  Rar20Writer w = writer_with_full_tables();
  w.literal('a');
  w.match(10, 1);
  w.literal('b');
  EXPECT_EQ(unpack(w.bytes(), 12), bytes_of("aaaaaaaaaaab"));
}

TEST(Rar20Unpacker, LongDistancesGetLengthBonuses) {
  // Each case: a distinct history, then one match coded with the shortest length it allows,
  // which the decoder has to lengthen by the distance bonus.
  struct Case {
    std::uint32_t distance;
    std::uint32_t length;  // as decoded
    bool recent;           // through 257 after a first match with this distance
  };
  for (const Case c : {Case{0x1FFF, 3, false}, Case{0x2000, 4, false}, Case{0x3FFFF, 4, false}, Case{0x40000, 5, false},
                       Case{0x100, 2, true}, Case{0x101, 3, true}, Case{0x2000, 4 + 1, true}, Case{0x40000, 5 + 1, true}}) {
    SCOPED_TRACE(std::to_string(c.distance) + (c.recent ? " recent" : ""));
    std::vector<std::uint8_t> expected = test::text_like_data(c.distance + 7, c.distance);
    Rar20Writer w = writer_with_full_tables();
    for (std::uint8_t b : expected) w.literal(b);
    if (c.recent) {
      w.match(200, c.distance);  // puts the distance into the recent ones
      for (int k = 0; k < 200; ++k) expected.push_back(expected[expected.size() - c.distance]);
      w.recent(1, c.length);
    } else {
      w.match(c.length, c.distance);
    }
    for (std::uint32_t k = 0; k < c.length; ++k) expected.push_back(expected[expected.size() - c.distance]);
    w.literal('!');
    expected.push_back('!');
    EXPECT_EQ(unpack(w.bytes(), static_cast<std::uint32_t>(expected.size())), expected);
  }
}

TEST(Rar20Unpacker, RepeatLastMatchReusesLengthAndDistanceAndEntersTheDistance) {
  Rar20Writer w = writer_with_full_tables();
  for (char ch : std::string("abcdefgh")) w.literal(static_cast<std::uint8_t>(ch));
  w.match(4, 3);    // fgh f -> "fghf"
  w.short_match(7); // 2 bytes from 7 back
  w.repeat_last();  // again 2 bytes from 7 back; the distance 7 enters the recent ones again
  w.repeat_last();
  EXPECT_EQ(w.recent_distance(4), 3u);
  w.recent(4, 3);   // recent ones: 3, 7, 7, 7 -> back 4 is 3 only if both 256 entered theirs
  std::string s = "abcdefgh";
  auto copy = [&](std::size_t len, std::size_t dist) {
    for (std::size_t k = 0; k < len; ++k) s.push_back(s[s.size() - dist]);
  };
  copy(4, 3);
  copy(2, 7);
  copy(2, 7);
  copy(2, 7);
  copy(3, 3);
  EXPECT_EQ(unpack(w.bytes(), static_cast<std::uint32_t>(s.size())), bytes_of(s));
}

TEST(Rar20Unpacker, ShortDistancesOfEverySlot) {
  Rar20Writer w = writer_with_full_tables();
  std::vector<std::uint8_t> expected = test::text_like_data(300, 5);
  for (std::uint8_t b : expected) w.literal(b);
  for (std::uint32_t d : {1u, 4u, 5u, 8u, 9u, 16u, 17u, 32u, 33u, 64u, 65u, 128u, 129u, 192u, 193u, 256u}) {
    w.short_match(d);
    for (int k = 0; k < 2; ++k) expected.push_back(expected[expected.size() - d]);
  }
  EXPECT_EQ(unpack(w.bytes(), static_cast<std::uint32_t>(expected.size())), expected);
}

TEST(Rar20Unpacker, RoundTripsLongerThanTheWindow) {
  // 1.3 MB: the ring wraps, the output arrives in more than one chunk, and matches reach back
  // up to almost the whole window; every other table transmission is relative.
  const std::vector<std::uint8_t> data = test::text_like_data(1300000, 42);
  Rar20Packer packer;
  Rar20Packer::Options options;
  options.block_symbols = 50000;
  options.chain_depth = 4;
  const std::vector<std::uint8_t> stream = packer.pack(data, false, options);
  ASSERT_LT(stream.size(), data.size());
  EXPECT_EQ(unpack(stream, static_cast<std::uint32_t>(data.size())), data);
}

TEST(Rar20Unpacker, MultimediaRoundTripsWithOneToFourChannels) {
  for (unsigned channels = 1; channels <= 4; ++channels) {
    SCOPED_TRACE(channels);
    const std::vector<std::uint8_t> data = test::wave_data(30000, channels, channels);
    Rar20Packer packer;
    Rar20Packer::Options options;
    options.audio_channels = channels;
    options.lz_prefix = 1000;  // like real files: an LZ block first
    options.block_symbols = 9000;
    EXPECT_EQ(unpack(packer.pack(data, false, options), static_cast<std::uint32_t>(data.size())), data);
  }
}

TEST(Rar20Unpacker, ThreeChannelsTakeTurnsInOrder) {
  // Channel c carries the constant 10 x (c + 1); any other channel order mixes the values.
  Rar20Writer w;
  std::vector<std::uint8_t> lengths(3 * 257, 0);
  for (auto& l : lengths) l = 9;
  w.audio_tables(3, lengths);
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 300; ++i) {
    const auto b = static_cast<std::uint8_t>(10 * (i % 3 + 1));
    w.audio_byte(b);
    expected.push_back(b);
  }
  EXPECT_EQ(unpack(w.bytes(), 300), expected);
}

TEST(AudioPredictor, AgreesWithTheReferenceAndKeepsWeightsInRange) {
  // The decoder's predictor and the independent reference must agree byte for byte and on
  // every weight: under random differences, and under differences steered so that one error
  // sum always wins, which drives K1 down and K2 up to their limits.
  std::mt19937 rng(7);
  for (unsigned channels : {1u, 2u, 3u}) {
    std::array<AudioChannel, 4> ours{};
    std::array<test::ReferenceChannel, 4> ref{};
    std::int32_t our_delta = 0;
    int ref_delta = 0;
    int lowest = 0, highest = 0;
    for (int i = 0; i < 60000; ++i) {
      const unsigned c = static_cast<unsigned>(i) % channels;
      const AudioChannel& s = ours[c];
      int d = static_cast<int>(rng() % 256) - 128;
      const int phase = i / 20000;  // random, then sum 1 wins (K1 down), then sum 4 (K2 up)
      const int term = phase == 1 ? s.last_delta : s.last_delta - s.d1;
      if (phase > 0 && term != 0) d = std::clamp(static_cast<int>(std::lround((phase == 1 ? term : -term) / 8.0)), -128, 127);
      const unsigned delta = static_cast<unsigned>(d) & 0xFF;
      const std::uint8_t a = predict_audio_byte(ours[c], our_delta, delta);
      const std::uint8_t b = test::reference_decode(ref[c], ref_delta, delta);
      ASSERT_EQ(a, b) << "byte " << i;
      const int ks[5] = {ours[c].k1, ours[c].k2, ours[c].k3, ours[c].k4, ours[c].k5};
      for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(ks[k], ref[c].k[k]) << "byte " << i;
        ASSERT_GE(ks[k], -17);
        ASSERT_LE(ks[k], 16);
        lowest = std::min(lowest, ks[k]);
        highest = std::max(highest, ks[k]);
      }
    }
    if (channels == 1) {
      EXPECT_EQ(lowest, -17) << "the lower weight limit was reached";
      EXPECT_EQ(highest, 16) << "the upper weight limit was reached";
    }
  }
}

TEST(Rar20Unpacker, RelativeTablesAddToThePreviousLengths) {
  Rar20Writer w;
  std::vector<std::uint8_t> first = full_lz_lengths();
  w.lz_tables(first);
  w.literal('a');
  w.new_tables();
  std::vector<std::uint8_t> second = first;
  for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<std::uint8_t>((i * 7) % 5 == 0 ? 0 : 10);
  for (char ch : std::string("bcdef")) second[static_cast<std::uint8_t>(ch)] = 10;
  second[269] = second[270] = 10;
  second[299] = 1;
  w.lz_tables(second, /*delta=*/true);  // every length sent as (new - old) mod 16
  for (char ch : std::string("bcdef")) w.literal(static_cast<std::uint8_t>(ch));
  w.match(3, 2);
  EXPECT_EQ(unpack(w.bytes(), 9), bytes_of("abcdefefe"));
}

TEST(Rar20Unpacker, RepeatAtTheFirstPositionRepeatsZero) {
  // The first tables give symbols 0-5 length 3, so that a stale length there would show: with
  // 'x' at length 3 as well, any length 3 at 0-5 comes first in the code order and moves the
  // code of 'x'.
  Rar20Writer w;
  std::vector<std::uint8_t> first(374, 0);
  for (int s = 0; s < 6; ++s) first[static_cast<std::size_t>(s)] = 3;
  first[269] = 3;
  w.lz_tables(first);
  w.new_tables();
  // Relative to those: code 16 first (6 x "the preceding length"), zero runs, 'x' and 269 at 3.
  std::array<std::uint8_t, 19> cl{};
  cl[0] = 2, cl[3] = 2, cl[16] = 2, cl[18] = 2;
  std::vector<test::LengthItem> items = {{16, 3}};
  std::vector<std::uint8_t> result(374, 0);
  std::size_t i = 6;
  auto zeros_to = [&](std::size_t end) {  // positions whose previous length is 0
    while (i < end) {
      const std::size_t run = std::min<std::size_t>(end - i, 138);
      if (run >= 11) {
        items.push_back({18, static_cast<unsigned>(run - 11)});
        i += run;
      } else {
        items.push_back({0, 0});
        ++i;
      }
    }
  };
  zeros_to('x');
  items.push_back({3, 0});  // 0 + 3
  result['x'] = 3;
  ++i;
  zeros_to(269);
  items.push_back({0, 0});  // 3 + 0
  result[269] = 3;
  ++i;
  zeros_to(374);
  w.raw_tables(false, true, 1, cl, items, result);
  for (int k = 0; k < 5; ++k) w.literal('x');
  EXPECT_EQ(unpack(w.bytes(), 5), bytes_of("xxxxx"));
}

TEST(Rar20Unpacker, RepeatsPastTheTableEndStopTheFill) {
  Rar20Writer w;
  std::array<std::uint8_t, 19> cl{};
  cl[0] = 2, cl[1] = 2, cl[18] = 1;
  std::vector<std::uint8_t> result(374, 0);
  result['y'] = 1;
  result[269] = 1;
  std::vector<test::LengthItem> items;
  std::size_t i = 0;
  auto zeros_to = [&](std::size_t end) {
    while (i < end) {
      const std::size_t run = std::min<std::size_t>(end - i, 138);
      if (run >= 11) {
        items.push_back({18, static_cast<unsigned>(run - 11)});
        i += run;
      } else {
        items.push_back({0, 0});
        ++i;
      }
    }
  };
  zeros_to('y');
  ASSERT_EQ(i, static_cast<std::size_t>('y'));
  items.push_back({1, 0});
  ++i;
  zeros_to(269);
  ASSERT_EQ(i, 269u);
  items.push_back({1, 0});
  ++i;
  items.push_back({18, 127});  // 138 zeros where only 104 fit: the fill ends at 374
  w.raw_tables(false, false, 1, cl, items, result);
  for (int k = 0; k < 4; ++k) w.literal('y');
  EXPECT_EQ(unpack(w.bytes(), 4), bytes_of("yyyy"));
}

TEST(Rar20Unpacker, SolidEntryContinuesWithTablesSentAtTheEndOfThePreviousOne) {
  Rar20Writer w = writer_with_full_tables();
  for (char ch : std::string("solid!")) w.literal(static_cast<std::uint8_t>(ch));
  // Sent behind the first entry's last byte: the end-of-entry check must pick them up.
  w.new_tables();
  std::vector<std::uint8_t> next(374, 0);
  next['s'] = next['!'] = next[269] = next[256] = next[273] = 3;  // 273: length slot 3 (6)
  next[298 + 4] = 1;  // distance slot 4: 5 and 6
  next[346] = 1;
  w.lz_tables(next);
  const std::vector<std::uint8_t> first = w.bytes();
  w.start_entry();
  w.match(6, 6);  // the whole first entry again, from the window
  w.literal('s');
  const std::vector<std::uint8_t> second = w.bytes();

  Rar20Unpacker unpacker;
  std::vector<std::uint8_t> out1, out2;
  MemoryReader r1(first), r2(second);
  unpacker.unpack(r1, 6, false, &out1);
  unpacker.unpack(r2, 7, true, &out2);
  EXPECT_EQ(out1, bytes_of("solid!"));
  EXPECT_EQ(out2, bytes_of("solid!s"));
}

TEST(Rar20Unpacker, SolidStreamOfManyEntriesWithoutOutputInBetween) {
  Rar20Packer packer;
  std::vector<std::vector<std::uint8_t>> data, streams;
  for (int e = 0; e < 4; ++e) {
    data.push_back(test::text_like_data(20000 + 5000 * static_cast<std::size_t>(e), 100 + static_cast<std::uint32_t>(e)));
    Rar20Packer::Options options;
    options.audio_channels = e == 2 ? 2 : 0;  // one entry in multimedia mode in the middle
    streams.push_back(packer.pack(data.back(), e > 0, options));
  }
  Rar20Unpacker unpacker;
  std::vector<std::uint8_t> last;
  for (int e = 0; e < 4; ++e) {
    MemoryReader r(streams[static_cast<std::size_t>(e)]);
    unpacker.unpack(r, static_cast<std::uint32_t>(data[static_cast<std::size_t>(e)].size()), e > 0, e == 3 ? &last : nullptr);
  }
  EXPECT_EQ(last, data[3]);
}

TEST(Rar20Unpacker, MatchPastTheEntrySizeIsCutThere) {
  Rar20Writer w = writer_with_full_tables();
  w.literal('x');
  w.match(10, 1);
  EXPECT_EQ(unpack(w.bytes(), 5), bytes_of("xxxxx"));
}

TEST(Rar20Unpacker, DamagedStreamsStaySafeAndStop) {
  // Cut packed data, random bytes and huge sizes: no out-of-bounds access (the sanitizer build
  // checks), output never beyond the entry size, and a dry stream stops on its own.
  const std::vector<std::uint8_t> data = test::text_like_data(40000, 9);
  Rar20Packer packer;
  const std::vector<std::uint8_t> stream = packer.pack(data);
  for (std::size_t cut : {0ul, 1ul, 3ul, 50ul, 1000ul, stream.size() / 2, stream.size() - 1}) {
    const auto out = unpack(std::span(stream).first(cut), static_cast<std::uint32_t>(data.size()));
    EXPECT_LE(out.size(), data.size());
    if (cut >= 1000) {  // what the data before the cut says comes out right
      ASSERT_GE(out.size(), 100u);
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + 100, data.begin()));
    }
  }
  std::mt19937 rng(3);
  for (int round = 0; round < 150; ++round) {
    std::vector<std::uint8_t> junk(rng() % 20000);
    for (auto& b : junk) b = static_cast<std::uint8_t>(rng());
    const std::uint32_t size = round % 10 == 0 ? 0x7FFFFFFFu : rng() % 300000;
    const auto out = unpack(junk, size);
    EXPECT_LE(out.size(), size);
    EXPECT_LE(out.size(), 64u << 20) << "a dry stream must not run on to the full size";
  }
}

// The symbol decoder against a plain limit search written here from the table rules.
struct ReferenceTable {
  std::array<std::uint32_t, 16> limit{}, position{};
  std::vector<unsigned> symbols;
  explicit ReferenceTable(const std::vector<std::uint8_t>& lengths, const std::vector<unsigned>& stale) : symbols(stale) {
    std::array<unsigned, 16> count{};
    for (auto l : lengths) ++count[l];
    count[0] = 0;
    std::uint32_t code = 0;
    for (unsigned len = 1; len < 16; ++len) {
      code = 2 * (code + count[len]);
      limit[len] = std::min<std::uint32_t>(code << (15 - len), 0xFFFF);
      position[len] = position[len - 1] + count[len - 1];
    }
    auto next = position;
    for (unsigned s = 0; s < lengths.size(); ++s)
      if (lengths[s]) symbols[next[lengths[s]]++] = s;
  }
  std::pair<unsigned, unsigned> decode(std::uint32_t bits16) const {
    const std::uint32_t v = bits16 & 0xFFFE;
    unsigned len = 1;
    while (len <= 14 && v >= limit[len]) ++len;
    std::uint32_t i = position[len] + ((v - limit[len - 1]) >> (16 - len));
    if (i >= symbols.size()) i = 0;
    return {symbols[i], len};
  }
};

TEST(HuffmanTable, LookupDecodesExactlyLikeTheLimitSearch) {
  std::mt19937 rng(11);
  // One table per alphabet, as in the decoder: symbol places no code reaches keep what the
  // previous build of that table put there.
  std::map<unsigned, HuffmanTable> tables;
  std::map<unsigned, std::vector<unsigned>> stale;
  for (int round = 0; round < 60; ++round) {
    const unsigned n = round % 3 == 0 ? 298 : round % 3 == 1 ? 48 : 19;
    HuffmanTable& table = tables[n];
    if (stale[n].empty()) stale[n].assign(n, 0);
    std::vector<std::uint8_t> lengths(n);
    const int kind = round % 5;
    for (auto& l : lengths) {
      if (kind == 0) l = static_cast<std::uint8_t>(rng() % 16);                  // oversubscribed
      else if (kind == 1) l = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() % 16 : 0);  // sparse, incomplete
      else if (kind == 2) l = 0;                                                  // nothing at all
      else l = static_cast<std::uint8_t>(rng() % 2 ? 12 + rng() % 4 : 0);         // only long codes
    }
    if (kind == 4) {  // a proper complete code from frequencies
      std::vector<std::uint64_t> f(n);
      for (auto& x : f) x = rng() % 1000;
      lengths = test::huffman_lengths(f, 15);
    }
    table.build(lengths);
    const ReferenceTable ref(lengths, stale[n]);
    stale[n] = ref.symbols;

    std::vector<std::uint8_t> bits(6000);
    for (auto& b : bits) b = static_cast<std::uint8_t>(rng());
    MemoryReader reader(bits);
    BitInput in;
    in.first_fill(reader);
    std::size_t bitpos = 0;
    while (bitpos + 24 < bits.size() * 8) {
      const std::size_t byte = bitpos / 8;
      const std::uint32_t window = (std::uint32_t{bits[byte]} << 16 | std::uint32_t{bits[byte + 1]} << 8 | bits[byte + 2]);
      const std::uint32_t v = (window >> (8 - bitpos % 8)) & 0xFFFF;
      const auto [symbol, len] = ref.decode(v);
      ASSERT_EQ(table.decode(in), symbol) << "round " << round << " bit " << bitpos;
      bitpos += len;
      ASSERT_EQ(in.position() * 8, bitpos - bitpos % 8);
    }
  }
}

}  // namespace
}  // namespace morvane
