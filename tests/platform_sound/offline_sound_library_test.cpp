#include "platform/offline_sound_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "tests/platform_sound/test_xm_builder.h"
#include "tests/platform_sound/z_song.h"

namespace morvane {
namespace {

using test::kZSongEvents;
using test::kZSongFrames;
using test::kZSongRowFrames;

// What the callback saw: the value and the frames rendered by the advance that fired it.
struct Fired {
  std::uint8_t value;
  std::int64_t advanced_to;
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
  void advance(std::int64_t frames) {
    g_advanced_to += frames;
    sound_.advance_frames(frames);
  }
  std::vector<int> fired_values() const {
    std::vector<int> values;
    for (const Fired& f : g_fired) values.push_back(f.value);
    return values;
  }

  OfflineSoundLibrary sound_;
};

std::vector<int> z_song_values(int passes) {
  std::vector<int> values;
  for (int i = 0; i < passes; ++i) {
    for (const auto& e : kZSongEvents) values.push_back(e.value);
  }
  return values;
}

// Rows are observed after each step of 256 frames and dated to the step's first frame, so an
// event is due once the step holding its row's first frame has been rendered.
std::int64_t due_after_steps_of_256(int song_row) {
  return (std::int64_t{song_row} * kZSongRowFrames / 256 + 1) * 256;
}

TEST_F(OfflineSound, FiresEveryZOnceInOrderWhenItsRowIsReached) {
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.order(module), 0);
  EXPECT_EQ(sound_.time_ms(module), 0);
  int last_time = 0;
  while (g_advanced_to < kZSongFrames + 4096) {
    advance(256);
    const std::int64_t heard = std::min(g_advanced_to, kZSongFrames);
    const int time = sound_.time_ms(module);
    EXPECT_EQ(time, heard * 1000 / test::kZSongRate);
    EXPECT_GE(time, last_time);
    last_time = time;
    // The order of the last row whose step was rendered.
    int expected_order = 0;
    for (int row = 0; row < test::kZSongRows; ++row) {
      if (due_after_steps_of_256(row) <= g_advanced_to) expected_order = test::z_song_order(row);
    }
    EXPECT_EQ(sound_.order(module), expected_order) << "at frame " << g_advanced_to;
  }
  ASSERT_EQ(fired_values(), z_song_values(1));
  for (std::size_t i = 0; i < g_fired.size(); ++i) {
    EXPECT_EQ(g_fired[i].advanced_to, due_after_steps_of_256(kZSongEvents[i].song_row)) << "event " << i;
  }
  EXPECT_TRUE(sound_.finished());
  EXPECT_EQ(sound_.time_ms(module), test::kZSongMs);
  EXPECT_EQ(sound_.order(module), test::kZSongLastOrder);  // not the restart order
  EXPECT_EQ(sound_.samples().size(), static_cast<std::size_t>(g_advanced_to) * 2);
}

TEST_F(OfflineSound, RendersTheSameAudioAndEventsHoweverItAdvances) {
  const test::TempFile file("song.xm", test::z_song());
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.advance_frames(kZSongFrames + 1000), kZSongFrames);  // past the end at once
  EXPECT_EQ(fired_values(), z_song_values(1));
  EXPECT_EQ(sound_.order(module), test::kZSongLastOrder);
  const std::vector<std::int16_t> first(sound_.samples().begin(), sound_.samples().begin() + kZSongFrames * 2);
  EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](std::int16_t s) { return s != 0; }));
  // Playing again starts the song over: same samples, same events, time from 0.
  sound_.discard_samples();
  g_fired.clear();
  ASSERT_TRUE(sound_.play_song(module));
  EXPECT_EQ(sound_.time_ms(module), 0);
  EXPECT_EQ(sound_.order(module), 0);
  for (int i = 0; i < 70; ++i) sound_.advance_frames(756);  // in steps that cut rows anywhere
  sound_.advance_frames(kZSongFrames - 70 * 756);
  EXPECT_EQ(fired_values(), z_song_values(1));
  ASSERT_EQ(sound_.samples().size(), first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), sound_.samples().begin()));
}

TEST_F(OfflineSound, LoopingPlaysTheSongAgainFromItsRestart) {
  const test::TempFile file("song.xm", test::z_song(false));
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  ASSERT_TRUE(sound_.set_looping(module, true));
  EXPECT_EQ(sound_.advance_frames(kZSongFrames * 2 + 1000), kZSongFrames * 2 + 1000);
  EXPECT_FALSE(sound_.finished());
  std::vector<int> expected = z_song_values(2);
  expected.push_back(1);  // the third pass has begun
  EXPECT_EQ(fired_values(), expected);
  EXPECT_EQ(sound_.order(module), 0);
}

TEST_F(OfflineSound, NothingPlaysBeforePlayOrAfterFree) {
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
}

TEST_F(OfflineSound, ASongEndingOnAStepBoundaryFiresNothingMore) {
  // 128 rows of 2646 frames: the song ends exactly after step 1323 of 256 frames.
  test::TestModule m;
  m.orders = {0};
  m.patterns = {test::empty_pattern(128, 2)};
  m.patterns[0].cells[0] = {0, 0, 0, 35, 1};
  m.patterns[0].cells[127 * 2 + 1] = {0, 0, 0, 35, 2};
  const test::TempFile file("boundary.xm", test::build_xm(m));
  SoundModule* module = start(file.path());
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(sound_.advance_frames(128 * kZSongRowFrames), 128 * kZSongRowFrames);
  EXPECT_EQ(sound_.advance_frames(4096), 0);
  EXPECT_TRUE(sound_.finished());
  EXPECT_EQ(fired_values(), (std::vector<int>{1, 2}));
  EXPECT_EQ(sound_.time_ms(module), 128 * 60);
}

const std::filesystem::path kXmDir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "xm";

TEST_F(OfflineSound, FiresTheZCommandsOfRealModules) {
  if (!std::filesystem::is_directory(kXmDir)) GTEST_SKIP() << "no test modules in " << kXmDir;
  SoundModule* stereo = start((kXmDir / "stereo_z.xm").c_str());
  ASSERT_NE(stereo, nullptr);
  sound_.advance_frames(44100 * 13);
  EXPECT_EQ(fired_values(), (std::vector<int>{0x40, 0x7F}));
  EXPECT_EQ(sound_.order(stereo), 1);
  EXPECT_NEAR(sound_.time_ms(stereo), 11519, 2);  // openmpt123's duration

  g_fired.clear();
  SoundModule* ft2 = start((kXmDir / "ft2_z00.xm").c_str());
  ASSERT_NE(ft2, nullptr);
  sound_.advance_frames(44100 * 3);
  EXPECT_EQ(fired_values(), (std::vector<int>{0}));
  EXPECT_NEAR(sound_.time_ms(ft2), 2421, 2);
}

}  // namespace
}  // namespace morvane
