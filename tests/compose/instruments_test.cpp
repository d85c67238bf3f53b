// The synthesised band and the music helpers: samples that loop without a seam, stay inside
// the 16-bit range, come out the same every time, and are tuned to the notes they play.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/compose/instruments.h"
#include "tools/compose/music_theory.h"
#include "tools/compose/sample_pitch.h"
#include "tools/compose/score.h"

namespace morvane::compose {
namespace {

const std::vector<xm::Instrument>& band() {
  static const std::vector<xm::Instrument> instruments = make_instruments();
  return instruments;
}

int largest_step(const std::vector<std::int16_t>& pcm, std::size_t begin, std::size_t end) {
  int largest = 0;
  for (std::size_t i = begin + 1; i < end; ++i) largest = std::max(largest, std::abs(pcm[i] - pcm[i - 1]));
  return largest;
}

TEST(Instruments, EveryVoiceHasOneAudibleSampleWithinRange) {
  ASSERT_EQ(band().size(), static_cast<std::size_t>(kVoiceCount));
  for (const auto& ins : band()) {
    ASSERT_EQ(ins.samples.size(), 1u) << ins.name;
    const auto& pcm = ins.samples[0].pcm16;
    ASSERT_GT(pcm.size(), 1000u) << ins.name;
    const int peak = std::abs(*std::max_element(pcm.begin(), pcm.end(), [](int a, int b) { return std::abs(a) < std::abs(b); }));
    EXPECT_GT(peak, 30000) << ins.name;  // normalised near full scale, never clipped
    EXPECT_LT(peak, 32000) << ins.name;
    if (ins.samples[0].loop == xm::LoopType::kNone) {
      EXPECT_LT(std::abs(pcm.back()), 200) << ins.name << " ends with a click";
      EXPECT_LT(std::abs(pcm.front()), 2000) << ins.name << " starts with a click";
    }
  }
}

TEST(Instruments, LoopsJoinWithoutASeam) {
  int looped = 0;
  for (const auto& ins : band()) {
    const auto& s = ins.samples[0];
    if (s.loop == xm::LoopType::kNone) continue;
    ++looped;
    const std::size_t begin = s.loop_start, end = s.loop_start + s.loop_length;
    ASSERT_LE(end, s.pcm16.size()) << ins.name;
    const int seam = std::abs(s.pcm16[begin] - s.pcm16[end - 1]);
    EXPECT_LE(seam, largest_step(s.pcm16, begin, end) + 16) << ins.name;
  }
  EXPECT_EQ(looped, 3);  // bass, pad, lead
}

TEST(Instruments, SustainedVoicesReleaseOnKeyOff) {
  for (Voice v : {Voice::kBass, Voice::kPad, Voice::kLead}) {
    const auto& env = band()[instrument_number(v) - 1].volume_envelope;
    EXPECT_TRUE(env.enabled && env.sustain);
    EXPECT_EQ(env.points.back().value, 0);
  }
}

TEST(Instruments, SynthesisIsDeterministic) {
  const auto again = make_instruments();
  for (std::size_t i = 0; i < again.size(); ++i) EXPECT_EQ(again[i].samples[0].pcm16, band()[i].samples[0].pcm16) << i;
}

TEST(SamplePitch, TuningMakesEveryNotePlayItsPitch) {
  for (double rate : {22050.0, 32000.0, 44100.0}) {
    for (double pitch : {55.125, 98.0, 344.53, 500.0}) {
      const auto t = synth::tuning_for_pitch(rate, pitch);
      EXPECT_EQ(t.finetune % 2, 0);
      for (int note : {22, 49, 58, 70}) {
        const double heard = synth::playback_rate(note, t) * pitch / rate;
        EXPECT_NEAR(1200.0 * std::log2(heard / synth::note_frequency(note)), 0.0, 0.8) << rate << " " << pitch;
      }
    }
    EXPECT_NEAR(synth::playback_rate(kUnpitchedNote, synth::tuning_for_rate(rate)), rate, rate * 0.0005);
  }
  EXPECT_DOUBLE_EQ(synth::note_frequency(58), 440.0);
}

TEST(MusicTheory, NoteNames) {
  EXPECT_EQ(parse_note("C0"), 1);
  EXPECT_EQ(parse_note("C4"), 49);
  EXPECT_EQ(parse_note("A4"), 58);
  EXPECT_EQ(parse_note("C#5"), 62);
  EXPECT_EQ(parse_note("Bb3"), 47);
  EXPECT_EQ(parse_note("B7"), 96);
  for (const char* bad : {"H4", "A8", "A", "A#", "Cb0", "A44", ""}) EXPECT_THROW(parse_note(bad), std::invalid_argument) << bad;
}

TEST(MusicTheory, ChordsAndVoiceLeading) {
  const Chord am9 = parse_chord("Am9");
  EXPECT_EQ(am9.root, 9);
  EXPECT_EQ(am9.intervals, (std::vector<int>{0, 3, 7, 10, 14}));
  const Chord slash = parse_chord("G/B");
  EXPECT_EQ(slash.root, 7);
  EXPECT_EQ(slash.bass, 11);
  EXPECT_EQ(bass_note(slash, 17), 24);  // B-1
  EXPECT_THROW(parse_chord("Xm"), std::invalid_argument);
  EXPECT_THROW(parse_chord("Cdim13"), std::invalid_argument);
  EXPECT_EQ(chord_notes(parse_chord("C"), 49, 61), (std::vector<int>{49, 53, 56, 61}));
  // Am (A-3 C-4 E-4) to F keeps A and C and moves E up a semitone.
  EXPECT_EQ(lead_voices({46, 49, 53}, parse_chord("F"), 41, 61), (std::array<int, 3>{46, 49, 54}));
  // A suspended chord has no third to keep; a seventh chord keeps its third.
  const auto dm7 = lead_voices({46, 49, 54}, parse_chord("Dm7"), 41, 61);
  EXPECT_TRUE(std::count(dm7.begin(), dm7.end(), 54) == 1);  // F
}

TEST(Phrases, TokensBecomeNotesHoldsAndReleases) {
  const auto steps = parse_phrase("A4 - | ^ C#5");
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0].note, 58);
  EXPECT_EQ(steps[1].note, 0);
  EXPECT_EQ(steps[2].note, xm::kNoteOff);
  EXPECT_EQ(steps[3].note, 62);
  EXPECT_THROW(parse_phrase("A4 Q"), std::invalid_argument);
}

}  // namespace
}  // namespace morvane::compose
