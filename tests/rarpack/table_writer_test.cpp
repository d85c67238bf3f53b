#include "tools/rarpack/table_writer.h"

#include <gtest/gtest.h>

#include <random>

#include "archive/bit_input.h"
#include "archive/byte_reader.h"
#include "archive/huffman_table.h"

namespace morvane {
namespace {

struct Received {
  bool audio = false;
  bool delta = false;
  int channels = 0;
  std::vector<std::uint8_t> lengths;
};

// Reads a transmission the way the unpacker does: header, code-length code, then the lengths
// with the run codes, adding to `previous` in delta mode.
Received receive(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t> previous) {
  MemoryReader reader(bytes);
  BitInput in;
  in.first_fill(reader);
  Received r;
  const std::uint32_t h = in.peek();
  r.audio = h & 0x8000;
  r.delta = h & 0x4000;
  in.skip(2);
  if (!r.delta) std::fill(previous.begin(), previous.end(), 0);
  std::size_t size = 374;
  if (r.audio) {
    r.channels = static_cast<int>(((h >> 12) & 3) + 1);
    in.skip(2);
    size = 257u * static_cast<std::size_t>(r.channels);
  }
  std::array<std::uint8_t, 19> cl;
  for (auto& l : cl) l = static_cast<std::uint8_t>(in.extra(4));
  HuffmanTable table;
  table.build(cl);
  r.lengths.assign(size, 0);
  for (std::size_t i = 0; i < size;) {
    const unsigned s = table.decode(in);
    if (s < 16) {
      r.lengths[i] = static_cast<std::uint8_t>((s + previous[i]) & 15);
      ++i;
    } else if (s == 16) {
      EXPECT_GT(i, 0u) << "repeat without a preceding length";
      for (std::uint32_t n = in.extra(2) + 3; n > 0 && i < size; --n, ++i) r.lengths[i] = r.lengths[i - 1];
    } else {
      for (std::uint32_t n = s == 17 ? in.extra(3) + 3 : in.extra(7) + 11; n > 0 && i < size; --n) r.lengths[i++] = 0;
    }
  }
  return r;
}

std::vector<std::uint8_t> send(const TableTransmission& t) {
  BitWriter w;
  write_table_transmission(w, t);
  EXPECT_EQ(w.bit_count(), t.bits);
  return w.finish();
}

std::vector<std::uint8_t> sparse_lengths(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> l(size);
  for (std::size_t i = 0; i < size; ++i)
    l[i] = rng() % 3 == 0 ? 0 : static_cast<std::uint8_t>(rng() % 4 == 0 ? 1 + rng() % 15 : 6 + rng() % 3);
  for (std::size_t i = 40; i < 200 && i < size; ++i) l[i] = 0;  // a long zero run: code 18
  for (std::size_t i = 250; i < 260 && i < size; ++i) l[i] = 7;  // a run of one length: code 16
  return l;
}

TEST(TableWriter, AbsoluteLengthsArriveIntact) {
  const std::vector<std::uint8_t> lengths = sparse_lengths(374, 1);
  const TableTransmission t = plan_table_transmission(lengths, {}, 0);
  EXPECT_FALSE(t.delta);
  const Received r = receive(send(t), std::vector<std::uint8_t>(1028, 9));
  EXPECT_FALSE(r.audio);
  EXPECT_EQ(r.lengths, lengths);

  // Zero runs reach the end of the table: 372 zeros in three codes 18.
  std::vector<std::uint8_t> two(374, 0);
  two[0] = two[1] = 1;
  const TableTransmission t2 = plan_table_transmission(two, {}, 0);
  EXPECT_EQ(t2.bits, 2u + 76u + 2u + 3u * 8u);
  EXPECT_EQ(receive(send(t2), std::vector<std::uint8_t>(1028)).lengths, two);
}

TEST(TableWriter, SmallChangesAreSentAsDeltas) {
  std::vector<std::uint8_t> previous = sparse_lengths(1028, 2);
  std::vector<std::uint8_t> lengths(previous.begin(), previous.begin() + 374);
  lengths[3] = static_cast<std::uint8_t>((lengths[3] + 1) % 16);
  lengths[300] = 0;
  const TableTransmission t = plan_table_transmission(lengths, previous, 0);
  EXPECT_TRUE(t.delta);
  EXPECT_LT(t.bits, plan_table_transmission(lengths, {}, 0).bits);
  EXPECT_EQ(receive(send(t), previous).lengths, lengths);
}

TEST(TableWriter, DeltasNeedEveryPreviousLength) {
  // The decoder's previous lengths are only settled as far as the last transmission reached.
  const std::vector<std::uint8_t> previous = sparse_lengths(374, 3);
  const std::vector<std::uint8_t> lengths = sparse_lengths(2 * 257, 3);
  EXPECT_FALSE(plan_table_transmission(lengths, previous, 2).delta);
}

TEST(TableWriter, AudioHeaderCarriesTheChannelCount) {
  for (int channels = 1; channels <= 4; ++channels) {
    const std::vector<std::uint8_t> lengths = sparse_lengths(257u * static_cast<std::size_t>(channels), 4);
    const Received r = receive(send(plan_table_transmission(lengths, {}, channels)), std::vector<std::uint8_t>(1028));
    EXPECT_TRUE(r.audio);
    EXPECT_EQ(r.channels, channels);
    EXPECT_EQ(r.lengths, lengths);
  }
}

}  // namespace
}  // namespace morvane
