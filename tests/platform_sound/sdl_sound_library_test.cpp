// The live layer end to end, in real time: through SDL's dummy audio driver, and with no
// usable driver at all (the silent wall-clock stand-in).
#include "platform/sdl_sound_library.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/playout_clock.h"
#include "tests/platform_sound/z_song.h"

namespace morvane {
namespace {

using namespace std::chrono_literals;

// Written by the audio thread, read after the song.
struct Heard {
  std::atomic<int> count{0};
  std::array<std::uint8_t, 64> values{};
  std::array<std::int64_t, 64> when_ns{};
};
Heard g_heard;

void record(SoundModule*, std::uint8_t value) {
  const int i = g_heard.count.load(std::memory_order_relaxed);
  if (i >= static_cast<int>(g_heard.values.size())) return;
  g_heard.values[static_cast<std::size_t>(i)] = value;
  g_heard.when_ns[static_cast<std::size_t>(i)] = steady_now_ns();
  g_heard.count.store(i + 1, std::memory_order_release);
}

struct Reading {
  std::int64_t when_ns;
  int time_ms;
  int order;
};

// The play time the program saw at a moment, from the readings around it.
int time_at(const std::vector<Reading>& readings, std::int64_t when_ns) {
  int time = 0;
  for (const Reading& r : readings) {
    if (r.when_ns > when_ns) break;
    time = r.time_ms;
  }
  return time;
}

void play_the_z_song(const char* audio_driver, bool expect_silent) {
  setenv("SDL_AUDIODRIVER", audio_driver, 1);
  g_heard.count.store(0);
  const test::TempFile file("song.xm", test::z_song());
  SdlSoundLibrary sound;
  ASSERT_TRUE(sound.init(test::kZSongRate, 64, 2));
  EXPECT_EQ(sound.silent(), expect_silent);
  SoundModule* module = sound.load_song(file.path());
  ASSERT_NE(module, nullptr) << sound.last_error();
  ASSERT_TRUE(sound.set_zxx_callback(module, &record));
  ASSERT_TRUE(sound.play_song(module));
  ASSERT_TRUE(sound.set_looping(module, false));

  std::vector<Reading> readings;
  const auto give_up = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < give_up) {
    const int order = sound.order(module);
    const int time = sound.time_ms(module);
    readings.push_back({steady_now_ns(), time, order});
    if (time >= test::kZSongMs && g_heard.count.load(std::memory_order_acquire) >= 6) break;
    std::this_thread::sleep_for(1ms);
  }
  std::this_thread::sleep_for(150ms);
  const int events = g_heard.count.load(std::memory_order_acquire);

  ASSERT_EQ(events, static_cast<int>(test::kZSongEvents.size()));
  for (int i = 0; i < events; ++i) {
    const auto& expected = test::kZSongEvents[static_cast<std::size_t>(i)];
    EXPECT_EQ(g_heard.values[static_cast<std::size_t>(i)], expected.value) << "event " << i;
    // Delivered when heard: within half a device buffer and a render step, plus scheduling.
    const int row_ms = expected.song_row * test::kZSongRowFrames * 1000 / test::kZSongRate;
    EXPECT_NEAR(time_at(readings, g_heard.when_ns[static_cast<std::size_t>(i)]), row_ms, 40) << "event " << i;
  }
  for (std::size_t i = 1; i < readings.size(); ++i) {
    ASSERT_GE(readings[i].time_ms, readings[i - 1].time_ms) << "reading " << i;
    ASSERT_GE(readings[i].order, readings[i - 1].order) << "reading " << i;
  }
  EXPECT_GT(readings.size(), 100u);  // the time was seen advancing, not only at the end
  // The end holds: time stops at the song's length, the order stays the last one.
  EXPECT_EQ(sound.time_ms(module), test::kZSongMs);
  EXPECT_EQ(sound.order(module), test::kZSongLastOrder);
  ASSERT_TRUE(sound.free_song(module));
  sound.close();
}

TEST(SdlSoundLibrary, PlaysThroughTheDummyAudioDriver) { play_the_z_song("dummy", false); }

TEST(SdlSoundLibrary, RunsSilentlyInRealTimeWithoutADevice) { play_the_z_song("morvane-no-such-driver", true); }

}  // namespace
}  // namespace morvane
