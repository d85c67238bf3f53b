// The packer's streams decoded by the project's own unpacker, entry by entry, in memory.
#include "tools/rarpack/rar20_encoder.h"

#include <gtest/gtest.h>

#include "archive/byte_reader.h"
#include "archive/rar20_unpacker.h"
#include "tests/rarpack/sample_data.h"

namespace morvane {
namespace {

using test::Bytes;

// Packs entries as one solid stream (or each on its own) and unpacks them again.
class RoundTrip {
 public:
  explicit RoundTrip(EncoderSettings settings = {}, std::size_t capacity = 1 << 20)
      : encoder_(std::move(settings), capacity) {}

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

TEST(Rar20Encoder, EverySymbolKindOfTheMainTable) {
  RoundTrip rt;
  const Bytes in = test::mixture(200000, 11);
  EXPECT_EQ(rt.run(in, false), in);
  const EncodeReport& r = rt.report();
  EXPECT_GT(r.literals, 0u);
  EXPECT_GT(r.new_matches, 0u);
  EXPECT_GT(r.recent_matches, 0u);
  EXPECT_GT(r.last_match_repeats, 0u);
  EXPECT_GT(r.short_matches, 0u);
  EXPECT_GT(r.table_switches, 0u);
  EXPECT_GT(r.lz_blocks, 0u);
  EXPECT_LT(rt.packed().size(), in.size() / 2);
}

TEST(Rar20Encoder, SmallSegmentsSwitchBetweenLzAndMultimediaTables) {
  EncoderSettings s;
  s.segment_size = 1500;
  RoundTrip rt(s);
  const Bytes in = test::mixture(120000, 12);
  EXPECT_EQ(rt.run(in, false), in);
  const EncodeReport& r = rt.report();
  std::size_t audio = 0;
  for (std::size_t n : r.audio_blocks) audio += n;
  EXPECT_GT(r.lz_blocks, 1u);
  EXPECT_GT(audio, 1u);
  EXPECT_EQ(r.table_transmissions, r.table_switches + 1);
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

TEST(Rar20Encoder, TinyAndIncompressibleInputs) {
  for (const Bytes& in : {Bytes{42}, Bytes{1, 1}, Bytes(3, 0), Bytes(300, 7), test::random_bytes(5000, 5)}) {
    RoundTrip rt;
    EXPECT_EQ(rt.run(in, false), in) << in.size();
  }
}

TEST(Rar20Encoder, SolidEntriesGoOnWithWindowDistancesTablesAndAudioState) {
  RoundTrip rt;
  const Bytes text = test::word_text(30000, 6);
  const Bytes entries[] = {text, Bytes(text.begin() + 5000, text.begin() + 25000), test::waves(30000, 2, 7),
                           test::waves(999, 3, 8), test::records(7000, 9), {3}, test::mixture(20000, 10)};
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    EXPECT_EQ(rt.run(entries[i], i > 0, i + 1 < std::size(entries)), entries[i]) << i;
    if (i == 1) {
      EXPECT_LT(rt.packed().size(), 100u);  // one reference into the first entry
    }
  }
}

TEST(Rar20Encoder, SolidEntryKeepsCoveringTables) {
  RoundTrip rt;
  EXPECT_EQ(rt.run(test::random_bytes(60000, 1), false, true), test::random_bytes(60000, 1));
  const Bytes small = test::random_bytes(3000, 2);
  EXPECT_EQ(rt.run(small, true), small);
  EXPECT_TRUE(rt.report().kept_tables);
  EXPECT_EQ(rt.report().table_transmissions, 0u);
}

TEST(Rar20Encoder, SameInputSameBytes) {
  const Bytes in = test::mixture(50000, 13);
  RoundTrip a, b;
  a.run(in, false);
  b.run(in, false);
  EXPECT_EQ(a.packed(), b.packed());
}

}  // namespace
}  // namespace morvane
