// Song clock arithmetic, the library error table, the shared random sequence.
#include <gtest/gtest.h>

#include "engine/demo_rand.h"
#include "core/music.h"
#include "core/song_event.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

TEST(SongClock, TicksAreMillisecondsTimesSeventyThenTimesAThousandth) {
  EXPECT_EQ(ms_to_ticks(0), 0.0f);
  EXPECT_EQ(ms_to_ticks(1000), 70.0f);
  EXPECT_EQ(ms_to_ticks(1), static_cast<float>(70 * 0.001));
  EXPECT_EQ(ms_to_ticks(123457), static_cast<float>(8641990 * 0.001));
  // The integer product wraps as a 32-bit value would (after about 8.5 hours).
  EXPECT_EQ(ms_to_ticks(30678338 + 1), static_cast<float>(-2147483618 * 0.001));
}

TEST(SongClock, EachFrameReadsOrderThenTime) {
  testing::CallLog log;
  testing::ScriptedSoundLibrary sound(log);
  sound.log_clock = true;
  sound.order_at = [](int) { return 7; };
  sound.ms_at = [](int) { return 2000; };
  Music music(sound);
  log.clear();
  const SongClock clock = music.clock();
  EXPECT_EQ(clock.order, 7);
  EXPECT_EQ(clock.ticks, 140.0f);
  EXPECT_EQ(log, (testing::CallLog{"sound.order", "sound.time"}));
}

TEST(SongClock, FreeingTheModuleTwiceFreesItOnce) {
  testing::CallLog log;
  testing::ScriptedSoundLibrary sound(log);
  {
    Music music(sound);
    music.load_module("morvane.xm");
    music.free_module();
    EXPECT_FALSE(music.has_module());
    music.free_module();
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), "sound.free"), 1);
  EXPECT_EQ(log.back(), "sound.close");
}

TEST(SongClock, InstalledCallbackRaisesTheEvent) {
  testing::CallLog log;
  testing::ScriptedSoundLibrary sound(log);
  song_event().reset();
  Music music(sound);
  music.load_module("morvane.xm");
  music.start();
  ASSERT_NE(sound.callback, nullptr);
  sound.callback(nullptr, 176);
  sound.callback(nullptr, 185);  // a second event before the poll replaces the first
  EXPECT_EQ(song_event().take(), std::optional<std::uint8_t>(185));
  EXPECT_EQ(song_event().take(), std::nullopt);
}

TEST(SoundErrors, TableAndUnknownCodes) {
  EXPECT_EQ(error_text(0), "No errors");
  EXPECT_EQ(error_text(9), "File not found");
  EXPECT_EQ(error_text(12), "Not enough memory ");
  EXPECT_EQ(error_text(18), "Required Mediaplayer codec is not installed");
  EXPECT_EQ(error_text(19), "Unknown error");
  EXPECT_EQ(error_text(-1), "Unknown error");
}

TEST(DemoRand, ClassicSequenceFromStateOne) {
  reset_demo_rand();
  EXPECT_EQ(demo_rand(), 41);
  EXPECT_EQ(demo_rand(), 18467);
  EXPECT_EQ(demo_rand(), 6334);
  EXPECT_EQ(demo_rand(), 26500);
  EXPECT_EQ(demo_rand(), 19169);
  reset_demo_rand();
  EXPECT_EQ(demo_rand(), 41);
}

}  // namespace
}  // namespace morvane
