// The song clock, the library's messages, and the event slot the Zxx callback fills.
#include "core/music.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Music, ReadsOrderThenTimeRaisesEventsAndFreesTheModuleOnce) {
  testing::CallLog log;
  testing::ScriptedSoundLibrary sound(log);
  sound.order_at = [](int) { return 7; };
  sound.ms_at = [](int) { return 2000; };
  song_event().reset();
  {
    Music music(sound);
    music.load_module("morvane.xm");
    music.start();
    sound.log_clock = true;
    log.clear();
    const SongClock clock = music.clock();
    EXPECT_EQ(clock.order, 7);
    EXPECT_EQ(clock.ticks, 140.0f);
    EXPECT_EQ(log, (testing::CallLog{"sound.order", "sound.time"}));

    ASSERT_NE(sound.callback, nullptr);
    sound.callback(nullptr, 176);
    sound.callback(nullptr, 185);  // a second event before the poll replaces the first
    EXPECT_EQ(song_event().take(), std::optional<std::uint8_t>(185));
    EXPECT_EQ(song_event().take(), std::nullopt);
    sound.callback(nullptr, 0);  // a zero value is still an event
    EXPECT_TRUE(song_event().pending());
    EXPECT_EQ(song_event().take(), std::optional<std::uint8_t>(0));

    music.free_module();
    EXPECT_FALSE(music.has_module());
    music.free_module();
  }
  EXPECT_EQ(std::count(log.begin(), log.end(), "sound.free"), 1);
  EXPECT_EQ(log.back(), "sound.close");
}

TEST(SoundErrors, MessagesByTheLibrarysNumbers) {
  static_assert(kSoundErrorInitialized == 1 && kSoundErrorFileNotFound == 9 && kSoundErrorFormat == 10 &&
                kSoundErrorVersion == 13 && kSoundErrorInvalidParam == 14);
  EXPECT_EQ(error_text(0), "No errors");
  EXPECT_EQ(error_text(9), "File not found");
  EXPECT_EQ(error_text(12), "Not enough memory ");
  EXPECT_EQ(error_text(18), "Required Mediaplayer codec is not installed");
  EXPECT_EQ(error_text(19), "Unknown error");
  EXPECT_EQ(error_text(-1), "Unknown error");
}

}  // namespace
}  // namespace morvane
