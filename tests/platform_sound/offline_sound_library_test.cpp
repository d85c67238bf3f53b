#include "platform/offline_sound_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/platform_sound/z_song.h"
#include "tools/compose/xm_writer.h"

namespace morvane {
namespace {

using test::kZSongEvents;
using test::kZSongFrames;
using test::kZSongRowFrames;

// What the callback saw: the value and how far the song had been advanced when it fired.
struct Fired {
  int value;
  std::int64_t advanced_to;
  friend bool operator==(const Fired&, const Fired&) = default;
};
std::vector<Fired> g_fired;
std::int64_t g_advanced_to = 0;

void record(SoundModule*, std::uint8_t value) { g_fired.push_back({value, g_advanced_to}); }

class OfflineSound : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fired.clear();
    g_advanced_to = 0;
    ASSERT_TRUE(sound_.init(test::kZSongRate, 64, 2));
  }
  SoundModule* start(const char* path) {
    SoundModule* module = sound_.load_song(path);
    EXPECT_NE(module, nullptr) << sound_.last_error();
    if (module == nullptr) return nullptr;
    sound_.set_zxx_callback(module, &record);
    sound_.play_song(module);
    sound_.set_looping(module, false);
    return module;
  }
  std::int64_t advance(std::int64_t frames) {
    g_advanced_to += frames;
    return sound_.advance_frames(frames);
  }
  static std::vector<int> values() {
    std::vector<int> out;
    for (const Fired& f : g_fired) out.push_back(f.value);
    return out;
  }
  static std::vector<int> song_values(int passes) {
    std::vector<int> out;
    for (int i = 0; i < passes; ++i)
      for (const auto& e : kZSongEvents) out.push_back(e.value);
    return out;
  }

  OfflineSoundLibrary sound_;
};

// Rows are observed after each step of 256 frames and dated to the step's first frame, so an
// event is due once the step holding its row's first frame has been rendered.
std::int64_t due_after_steps_of_256(int song_row) { return (std::int64_t{song_row} * kZSongRowFrames / 256 + 1) * 256; }

TEST_F(OfflineSound, FiresEveryZOnceWhenItsRowIsReachedAndTracksOrderAndTime) {
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.order(module), 0);
  while (g_advanced_to < kZSongFrames + 4096) {
    advance(256);
    EXPECT_EQ(sound_.time_ms(module), std::min(g_advanced_to, kZSongFrames) * 1000 / test::kZSongRate);
    int expected_order = 0;  // the order of the last row whose step was rendered
    for (int row = 0; row < 20; ++row)
      if (due_after_steps_of_256(row) <= g_advanced_to) expected_order = test::z_song_order(row);
    EXPECT_EQ(sound_.order(module), expected_order) << "at frame " << g_advanced_to;
  }
  std::vector<Fired> expected;
  for (const auto& e : kZSongEvents) expected.push_back({e.value, due_after_steps_of_256(e.song_row)});
  EXPECT_EQ(g_fired, expected);
  EXPECT_TRUE(sound_.finished());
  EXPECT_EQ(sound_.time_ms(module), test::kZSongMs);
  EXPECT_EQ(sound_.order(module), 2);  // the last order, not the restart order
  EXPECT_EQ(sound_.samples().size(), static_cast<std::size_t>(g_advanced_to) * 2);
}

TEST_F(OfflineSound, SameAudioAndEventsHoweverItAdvancesWhenPlayedAgainAndLooping) {
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.advance_frames(kZSongFrames + 1000), kZSongFrames);  // past the end at once
  EXPECT_EQ(values(), song_values(1));
  const std::vector<std::int16_t> first(sound_.samples().begin(), sound_.samples().begin() + kZSongFrames * 2);
  EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](std::int16_t s) { return s != 0; }));
  sound_.discard_samples();
  g_fired.clear();
  ASSERT_TRUE(sound_.play_song(module));
  EXPECT_EQ(sound_.time_ms(module), 0);
  EXPECT_EQ(sound_.order(module), 0);
  for (int i = 0; i < 70; ++i) sound_.advance_frames(756);  // in steps that cut rows anywhere
  sound_.advance_frames(kZSongFrames - 70 * 756);
  EXPECT_EQ(values(), song_values(1));
  ASSERT_EQ(sound_.samples().size(), first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), sound_.samples().begin()));
  // Looping plays it again from its restart: two passes, and the third has begun.
  g_fired.clear();
  ASSERT_TRUE(sound_.play_song(module) && sound_.set_looping(module, true));
  EXPECT_EQ(sound_.advance_frames(kZSongFrames * 2 + 1000), kZSongFrames * 2 + 1000);
  EXPECT_FALSE(sound_.finished());
  std::vector<int> looped = song_values(2);
  looped.push_back(1);
  EXPECT_EQ(values(), looped);
  EXPECT_EQ(sound_.order(module), 0);
}

TEST_F(OfflineSound, NothingPlaysBeforePlayOrAfterFreeOrAfterAnEndOnAStepBoundary) {
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = sound_.load_song(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.advance_frames(4096), 0);
  EXPECT_TRUE(sound_.samples().empty());
  ASSERT_TRUE(sound_.play_song(module));
  EXPECT_GT(sound_.advance_frames(4096), 0);
  ASSERT_TRUE(sound_.free_song(module));
  EXPECT_EQ(sound_.advance_frames(4096), 0);
  EXPECT_TRUE(sound_.finished());

  // 128 rows of 2646 frames end exactly after step 1323 of 256 frames.
  xm::Module m = test::plain_module({128}, 2, false);
  m.patterns[0].at(0, 0) = {0, 0, 0, xm::kEffectZ, 1};
  m.patterns[0].at(127, 1) = {0, 0, 0, xm::kEffectZ, 2};
  const test::TempFile boundary("boundary.xm", xm::write_module(m));
  SoundModule* exact = start(boundary.path());
  ASSERT_NE(exact, nullptr);
  EXPECT_EQ(sound_.advance_frames(128 * kZSongRowFrames), 128 * kZSongRowFrames);
  EXPECT_EQ(sound_.advance_frames(4096), 0);
  EXPECT_TRUE(sound_.finished());
  EXPECT_EQ(values(), (std::vector<int>{1, 2}));
  EXPECT_EQ(sound_.time_ms(exact), 128 * 60);
}

}  // namespace
}  // namespace morvane
