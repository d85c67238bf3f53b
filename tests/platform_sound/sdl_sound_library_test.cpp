// The live layer end to end, in real time: through SDL's dummy audio driver, and with no
// usable driver at all (the silent wall-clock stand-in).
#include "platform/sdl_sound_library.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/platform_sound/z_song.h"

namespace morvane {
namespace {

using namespace std::chrono_literals;

// Written by the audio thread, read after the song.
std::atomic<int> g_count{0};
std::array<std::atomic<int>, 16> g_values{};

void record(SoundModule*, std::uint8_t value) {
  const int i = g_count.load(std::memory_order_relaxed);
  if (i < static_cast<int>(g_values.size())) g_values[static_cast<std::size_t>(i)].store(value);
  g_count.store(i + 1, std::memory_order_release);
}

class SdlSound : public ::testing::TestWithParam<const char*> {};

TEST_P(SdlSound, PlaysTheSongOnceWithEveryZInOrderAndAClockThatOnlyAdvances) {
  setenv("SDL_AUDIODRIVER", GetParam(), 1);
  g_count.store(0);
  const test::TempFile file("song.xm", test::z_song());
  SdlSoundLibrary sound;
  ASSERT_TRUE(sound.init(test::kZSongRate, 64, 2));
  EXPECT_EQ(sound.silent(), std::string(GetParam()) != "dummy");
  SoundModule* module = sound.load_song(file.path());
  ASSERT_NE(module, nullptr) << sound.last_error();
  ASSERT_TRUE(sound.set_zxx_callback(module, &record));
  ASSERT_TRUE(sound.play_song(module));
  ASSERT_TRUE(sound.set_looping(module, false));
  int last_time = 0, last_order = 0, readings = 0;
  for (const auto give_up = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < give_up; ++readings) {
    const int order = sound.order(module), time = sound.time_ms(module);
    ASSERT_GE(time, last_time);
    ASSERT_GE(order, last_order);
    last_time = time;
    last_order = order;
    if (time >= test::kZSongMs && g_count.load(std::memory_order_acquire) >= 6) break;
    std::this_thread::sleep_for(1ms);
  }
  std::this_thread::sleep_for(150ms);
  EXPECT_GT(readings, 100);  // the time was seen advancing, not only at the end
  ASSERT_EQ(g_count.load(std::memory_order_acquire), static_cast<int>(test::kZSongEvents.size()));
  for (std::size_t i = 0; i < test::kZSongEvents.size(); ++i) EXPECT_EQ(g_values[i].load(), test::kZSongEvents[i].value) << i;
  // The end holds: time stops at the song's length, the order stays the last one.
  EXPECT_EQ(sound.time_ms(module), test::kZSongMs);
  EXPECT_EQ(sound.order(module), 2);
  EXPECT_TRUE(sound.free_song(module));
  sound.close();
}

INSTANTIATE_TEST_SUITE_P(Drivers, SdlSound, ::testing::Values("dummy", "morvane-no-such-driver"));

}  // namespace
}  // namespace morvane
