#include "tools/rarpack/audio_encoder.h"

#include <gtest/gtest.h>

#include "archive/audio_predictor.h"
#include "tests/rarpack/sample_data.h"
#include "tools/rarpack/rar20_format.h"

namespace morvane {
namespace {

// What the unpacker makes of the symbols: its own predictor, fed channel by channel.
test::Bytes decode_with_unpacker(const std::vector<CodedSymbol>& symbols) {
  std::array<AudioChannel, 4> channels{};
  std::int32_t channel_delta = 0;
  test::Bytes out;
  for (const CodedSymbol& s : symbols)
    out.push_back(predict_audio_byte(channels[s.index / rarpack::kAudioSymbols], channel_delta,
                                     s.index % rarpack::kAudioSymbols));
  return out;
}

TEST(AudioEncoder, UnpackerPredictsTheSameBytesForOneToFourChannels) {
  for (int channels = 1; channels <= 4; ++channels) {
    const test::Bytes in = test::mixture(20000, static_cast<std::uint32_t>(channels));
    AudioModel model;
    std::vector<CodedSymbol> symbols;
    encode_audio(in, channels, model, symbols);
    ASSERT_EQ(symbols.size(), in.size());
    // Channels take turns: 0, 1, ..., channels - 1, 0, ...
    for (std::size_t i = 0; i < symbols.size(); ++i)
      ASSERT_EQ(symbols[i].index / rarpack::kAudioSymbols, i % static_cast<std::size_t>(channels));
    EXPECT_EQ(decode_with_unpacker(symbols), in) << channels << " channels";
  }
}

TEST(AudioEncoder, ModelCarriesAcrossStretchesAndChannelCounts) {
  // A new table transmission keeps every channel's record and the current channel unless it is
  // out of range for the new channel count.
  const test::Bytes in = test::waves(9001, 3, 5);
  AudioModel model;
  std::vector<CodedSymbol> symbols;
  encode_audio(std::span(in).first(1000), 3, model, symbols);  // ends before channel 1
  EXPECT_EQ(model.current, 1);
  encode_audio(std::span(in).subspan(1000, 1000), 2, model, symbols);  // channel 1 goes on
  EXPECT_EQ(symbols[1000].index / rarpack::kAudioSymbols, 1u);
  model.current = 3;
  encode_audio(std::span(in).subspan(2000), 3, model, symbols);  // 3 is out of range: back to 0
  EXPECT_EQ(symbols[2000].index / rarpack::kAudioSymbols, 0u);
  EXPECT_EQ(decode_with_unpacker(symbols), in);
}

TEST(AudioEncoder, WeightsStayInRangeAndSmoothWavesGiveSmallDifferences) {
  AudioModel model;
  std::vector<CodedSymbol> symbols;
  encode_audio(test::random_bytes(50000, 1), 1, model, symbols);
  encode_audio(test::waves(50000, 1, 2), 1, model, symbols);
  for (std::int32_t k : model.channels[0].k) {
    EXPECT_GE(k, -17);
    EXPECT_LE(k, 16);
  }
  std::size_t small = 0;
  for (std::size_t i = 50000; i < symbols.size(); ++i) {
    const int delta = static_cast<std::int8_t>(symbols[i].index);
    small += delta >= -4 && delta <= 4;
  }
  EXPECT_GT(small, 45000u);
}

}  // namespace
}  // namespace morvane
