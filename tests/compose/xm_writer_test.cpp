// The XM writer: byte layout of header and patterns, sample coding, limits, and what
// libopenmpt reads back.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <libopenmpt/libopenmpt.hpp>
#include <stdexcept>
#include <string>

#include "tools/compose/sample_pitch.h"
#include "tools/compose/xm_writer.h"

namespace morvane::xm {
namespace {

unsigned u16_at(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) { return u16_at(b, at) | (u16_at(b, at + 2) << 16); }

Sample sine_sample(double sample_rate, int period, int periods) {
  Sample s;
  s.name = "sine";
  for (int i = 0; i < period * periods; ++i) {
    s.pcm16.push_back(static_cast<std::int16_t>(std::lround(20000.0 * std::sin(2.0 * std::numbers::pi * i / period))));
  }
  s.loop = LoopType::kForward;
  s.loop_start = 0;
  s.loop_length = static_cast<std::uint32_t>(s.pcm16.size());
  const auto tuning = synth::tuning_for_pitch(sample_rate, sample_rate / period);
  s.relative_note = tuning.relative_note;
  s.finetune = tuning.finetune;
  return s;
}

Module small_module() {
  Module m;
  m.title = "Test";
  m.channels = 4;
  m.speed = 3;
  m.bpm = 150;
  m.orders = {1, 0, 1};
  m.patterns.emplace_back(16, 4);
  m.patterns.emplace_back(8, 4);
  m.patterns[0].at(0, 0) = {58, 1, volume_column(48), 0, 0};
  m.patterns[0].at(4, 3) = {0, 0, 0, kEffectZ, 0xB0};
  m.patterns[1].at(2, 1) = {kNoteOff, 0, 0, 0, 0};
  Instrument ins;
  ins.name = "sine";
  ins.samples.push_back(sine_sample(44100.0, 100, 20));
  m.instruments.push_back(ins);
  return m;
}

TEST(XmWriter, HeaderIsLaidOutAsFastTrackerWritesIt) {
  const auto bytes = write_module(small_module());
  ASSERT_GT(bytes.size(), 336u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 17), "Extended Module: ");
  const std::string title(bytes.begin() + 17, bytes.begin() + 37);
  EXPECT_EQ(title, "Test                ");  // spaces, never NUL
  EXPECT_EQ(bytes[37], 0x1A);
  EXPECT_EQ(std::string(bytes.begin() + 38, bytes.begin() + 58), "FastTracker v2.00   ");
  EXPECT_EQ(u16_at(bytes, 58), 0x0104u);
  EXPECT_EQ(u32_at(bytes, 60), 276u);
  EXPECT_EQ(u16_at(bytes, 64), 3u);  // song length
  EXPECT_EQ(u16_at(bytes, 68), 4u);  // channels
  EXPECT_EQ(u16_at(bytes, 70), 2u);  // patterns
  EXPECT_EQ(u16_at(bytes, 72), 1u);  // instruments
  EXPECT_EQ(u16_at(bytes, 74), 1u);  // linear frequencies
  EXPECT_EQ(u16_at(bytes, 76), 3u);
  EXPECT_EQ(u16_at(bytes, 78), 150u);
  EXPECT_EQ(bytes[80], 1);
  EXPECT_EQ(bytes[81], 0);
  EXPECT_EQ(bytes[82], 1);
  EXPECT_EQ(bytes[83], 0);  // unused order entries are 0
  // First pattern header right after the 256-byte order table.
  EXPECT_EQ(u32_at(bytes, 336), 9u);
  EXPECT_EQ(bytes[340], 0);
  EXPECT_EQ(u16_at(bytes, 341), 16u);
}

TEST(XmWriter, PacksCellsWithMasksAndFullCellsRaw) {
  Pattern p(2, 2);
  EXPECT_TRUE(pack_pattern(p).empty());  // an all-empty pattern stores no data
  p.at(0, 0) = {49, 2, volume_column(64), 0x0C, 0x20};
  p.at(1, 1) = {0, 0, 0, kEffectZ, 7};
  const std::vector<std::uint8_t> expected = {49, 2, 0x50, 0x0C, 0x20,  // all five fields: raw
                                              0x80,                      // empty cell
                                              0x80,                      // empty cell
                                              0x98, kEffectZ, 7};        // effect and parameter
  EXPECT_EQ(pack_pattern(p), expected);
}

TEST(XmWriter, DeltaCodingWrapsAndDecodesBack) {
  const std::vector<std::int16_t> pcm16 = {0, 32767, -32768, -1, 1, 12345, -23456};
  const auto coded16 = delta_encode(pcm16);
  ASSERT_EQ(coded16.size(), pcm16.size() * 2);
  std::uint16_t acc = 0;
  for (std::size_t i = 0; i < pcm16.size(); ++i) {
    acc = static_cast<std::uint16_t>(acc + (coded16[2 * i] | (coded16[2 * i + 1] << 8)));
    EXPECT_EQ(static_cast<std::int16_t>(acc), pcm16[i]) << i;
  }
  const std::vector<std::int8_t> pcm8 = {0, 127, -128, -1, 5};
  const auto coded8 = delta_encode(pcm8);
  std::uint8_t acc8 = 0;
  for (std::size_t i = 0; i < pcm8.size(); ++i) {
    acc8 = static_cast<std::uint8_t>(acc8 + coded8[i]);
    EXPECT_EQ(static_cast<std::int8_t>(acc8), pcm8[i]) << i;
  }
}

TEST(XmWriter, RejectsWhatTheFormatCannotHold) {
  auto expect_rejected = [](auto change) {
    Module m = small_module();
    change(m);
    EXPECT_THROW(write_module(m), std::invalid_argument);
  };
  expect_rejected([](Module& m) { m.title = "a title of twenty-one"; });
  expect_rejected([](Module& m) { m.channels = 3; });
  expect_rejected([](Module& m) { m.orders.clear(); });
  expect_rejected([](Module& m) { m.orders.push_back(2); });
  expect_rejected([](Module& m) { m.speed = 32; });
  expect_rejected([](Module& m) { m.patterns[0].at(1, 1).note = 98; });
  expect_rejected([](Module& m) { m.patterns[0].at(1, 1).instrument = 2; });
  expect_rejected([](Module& m) { m.patterns[0].at(1, 1).effect = 36; });
  expect_rejected([](Module& m) { m.instruments[0].samples[0].loop_length += 1; });
  expect_rejected([](Module& m) {
    m.instruments[0].volume_envelope.enabled = true;
    m.instruments[0].volume_envelope.points.assign(13, EnvelopePoint{});
  });
  expect_rejected([](Module& m) { m.instruments[0].sample_map[10] = 1; });
  EXPECT_THROW(Pattern(2, 2).at(2, 0), std::out_of_range);
}

TEST(XmWriter, LibopenmptReadsTheModuleBackAsFastTracker2) {
  const auto bytes = write_module(small_module());
  openmpt::module mod(bytes.data(), bytes.size());
  EXPECT_EQ(mod.get_metadata("tracker"), "FastTracker 2 or compatible");
  EXPECT_EQ(mod.get_num_orders(), 3);
  EXPECT_EQ(mod.get_num_channels(), 4);
  EXPECT_EQ(mod.get_num_instruments(), 1);
  EXPECT_EQ(mod.get_order_pattern(0), 1);
  EXPECT_EQ(mod.get_pattern_num_rows(0), 16);
  EXPECT_EQ(mod.get_pattern_num_rows(1), 8);
  // libopenmpt names XM notes an octave above FastTracker 2: note 58 reads "A-5".
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, openmpt::module::command_note), 58 + 12);
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, openmpt::module::command_instrument), 1);
  EXPECT_EQ(mod.format_pattern_row_channel_command(0, 4, 3, openmpt::module::command_effect), "Z");
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 4, 3, openmpt::module::command_parameter), 0xB0);
  EXPECT_EQ(mod.format_pattern_row_channel_command(1, 2, 1, openmpt::module::command_note), "===");
  // 3 ticks at 150 BPM: 50 ms per row; 8 + 16 + 8 rows.
  EXPECT_NEAR(mod.get_duration_seconds(), 32 * 0.05, 1e-6);
}

// A sine sample tuned for its own pitch plays note A-4 at 440 Hz through libopenmpt.
TEST(XmWriter, TunedSamplePlaysAtTheNotesPitch) {
  Module m;
  m.title = "Pitch";
  m.channels = 2;
  m.speed = 6;
  m.bpm = 125;
  m.orders = {0};
  m.patterns.emplace_back(32, 2);
  m.patterns[0].at(0, 0) = {58, 1, volume_column(64), 0, 0};
  Instrument ins;
  ins.name = "sine";
  ins.samples.push_back(sine_sample(32000.0, 137, 30));  // 233.6 Hz as recorded
  m.instruments.push_back(ins);
  const auto bytes = write_module(m);
  openmpt::module mod(bytes.data(), bytes.size());
  constexpr int kRate = 48000;
  std::vector<float> mono(kRate);
  mod.read(kRate, mono.size(), mono.data());
  // Count rising zero crossings over the second half second, after any start-up ramp.
  int crossings = 0;
  int first = -1, last = -1;
  for (std::size_t i = kRate / 2; i + 1 < mono.size(); ++i) {
    if (mono[i] <= 0.0f && mono[i + 1] > 0.0f) {
      if (first < 0) first = static_cast<int>(i);
      last = static_cast<int>(i);
      ++crossings;
    }
  }
  ASSERT_GT(crossings, 100);
  const double hz = (crossings - 1) * static_cast<double>(kRate) / (last - first);
  EXPECT_NEAR(1200.0 * std::log2(hz / 440.0), 0.0, 3.0) << hz << " Hz";
}

}  // namespace
}  // namespace morvane::xm
