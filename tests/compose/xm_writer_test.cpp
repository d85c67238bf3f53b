// The XM writer: pattern packing, and what libopenmpt reads and plays back (a delta-coded
// sine tuned for its pitch). The show's modules are read back by the player's scanner in
// show_module_test.
#include "tools/compose/xm_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <libopenmpt/libopenmpt.hpp>
#include <numbers>
#include <string>

#include "tools/compose/sample_pitch.h"

namespace morvane::xm {
namespace {

// A looped sine of `period` frames, tuned so that A-4 plays at 440 Hz.
Instrument sine(double sample_rate, int period) {
  Sample s;
  for (int i = 0; i < period * 20; ++i)
    s.pcm16.push_back(static_cast<std::int16_t>(std::lround(20000.0 * std::sin(2.0 * std::numbers::pi * i / period))));
  s.loop = LoopType::kForward;
  s.loop_length = static_cast<std::uint32_t>(s.pcm16.size());
  const auto tuning = synth::tuning_for_pitch(sample_rate, sample_rate / period);
  s.relative_note = tuning.relative_note;
  s.finetune = tuning.finetune;
  Instrument ins;
  ins.samples = {s};
  return ins;
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
  m.instruments.push_back(sine(44100.0, 100));
  return m;
}

TEST(XmWriter, PacksCellsWithMasksAndFullCellsRaw) {
  Pattern p(2, 2);
  EXPECT_TRUE(pack_pattern(p).empty());  // an all-empty pattern stores no data
  p.at(0, 0) = {49, 2, volume_column(64), 0x0C, 0x20};
  p.at(1, 1) = {0, 0, 0, kEffectZ, 7};
  // All five fields raw, two empty cells, then effect and parameter behind their mask.
  EXPECT_EQ(pack_pattern(p), (std::vector<std::uint8_t>{49, 2, 0x50, 0x0C, 0x20, 0x80, 0x80, 0x98, kEffectZ, 7}));
}

TEST(XmWriter, LibopenmptReadsTheModuleAndPlaysTheTunedSampleAtItsPitch) {
  const auto bytes = write_module(small_module());
  openmpt::module mod(bytes.data(), bytes.size());
  EXPECT_EQ(mod.get_metadata("tracker"), "FastTracker 2 or compatible");
  EXPECT_EQ(mod.get_num_orders(), 3);
  EXPECT_EQ(mod.get_order_pattern(0), 1);
  EXPECT_EQ(mod.get_pattern_num_rows(1), 8);
  // libopenmpt names XM notes an octave above FastTracker 2: note 58 reads "A-5".
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, openmpt::module::command_note), 58 + 12);
  EXPECT_EQ(mod.format_pattern_row_channel_command(0, 4, 3, openmpt::module::command_effect), "Z");
  EXPECT_EQ(mod.get_pattern_row_channel_command(0, 4, 3, openmpt::module::command_parameter), 0xB0);
  EXPECT_EQ(mod.format_pattern_row_channel_command(1, 2, 1, openmpt::module::command_note), "===");
  EXPECT_NEAR(mod.get_duration_seconds(), 32 * 0.05, 1e-6);  // 3 ticks at 150 BPM: 50 ms a row

  // A sine recorded at 233.6 Hz, tuned for its own pitch, plays A-4 at 440 Hz.
  Module pitch = small_module();
  pitch.instruments = {sine(32000.0, 137)};
  pitch.speed = 6;
  pitch.orders = {0, 0};
  const auto pitch_bytes = write_module(pitch);
  openmpt::module played(pitch_bytes.data(), pitch_bytes.size());
  constexpr int kRate = 48000;
  std::vector<float> mono(kRate);
  played.read(kRate, mono.size(), mono.data());
  // Rising zero crossings over the second half second, after any start-up ramp.
  int crossings = 0, first = -1, last = -1;
  for (std::size_t i = kRate / 2; i + 1 < mono.size(); ++i) {
    if (mono[i] > 0.0f || mono[i + 1] <= 0.0f) continue;
    if (first < 0) first = static_cast<int>(i);
    last = static_cast<int>(i);
    ++crossings;
  }
  ASSERT_GT(crossings, 100);
  const double hz = (crossings - 1) * static_cast<double>(kRate) / (last - first);
  EXPECT_NEAR(1200.0 * std::log2(hz / 440.0), 0.0, 3.0) << hz << " Hz";
}

}  // namespace
}  // namespace morvane::xm
