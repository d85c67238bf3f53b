// The finale's command table: which values pick textures and effects, which count as beats
// (unknown values only after a real beat), and how the beats stop after 93 and the bars at 99.
#include <gtest/gtest.h>

#include "demo_parts/finale/finale_cues.h"

namespace morvane {
namespace {

TEST(FinaleCues, ValuesPickTextureColourAndLight) {
  FinaleCues cues;
  cues.on_event(162, false);
  cues.on_event(242, false);
  cues.on_event(178, false);
  EXPECT_EQ(cues.texture, 2);
  EXPECT_EQ(cues.colour, ColourMode::kInterference);
  EXPECT_EQ(cues.light, LightMode::kRings);
  cues.on_event(244, false);
  EXPECT_EQ(cues.colour, ColourMode::kInterference);
  cues.on_event(243, false);  // not in the table: a beat, no change
  EXPECT_EQ(cues.colour, ColourMode::kInterference);
  cues.on_event(241, false);
  cues.on_event(179, false);
  cues.on_event(160, false);
  EXPECT_EQ(cues.colour, ColourMode::kTunnel);
  EXPECT_EQ(cues.light, LightMode::kHold);
  EXPECT_EQ(cues.texture, 0);
  cues.on_event(163, false);
  cues.on_event(180, false);
  EXPECT_EQ(cues.texture, 0);
  EXPECT_EQ(cues.light, LightMode::kHold);
  EXPECT_EQ(cues.beat_counter, 3 + 3 * 10);  // every value after the first real beat counts
}

TEST(FinaleCues, UnknownValuesBeatOnlyAfterARealBeat) {
  FinaleCues cues;
  for (const std::uint8_t value : {0, 1, 3, 100, 243, 254}) cues.on_event(value, true);
  EXPECT_FALSE(cues.beat_seen);
  EXPECT_EQ(cues.overlay_scroll, 0);
  EXPECT_EQ(cues.bar_height, 0);
  cues.on_event(2, false);
  EXPECT_TRUE(cues.beat_seen);
  EXPECT_EQ(cues.overlay_scroll, 540);
  cues.on_event(7, true);
  EXPECT_EQ(cues.overlay_scroll, 1080);
  EXPECT_EQ(cues.bar_height, 5);
  EXPECT_EQ(cues.beat_counter, 9);
}

TEST(FinaleCues, BeatsStopAfter93AndBarsAt99Rows) {
  FinaleCues cues;
  for (int i = 0; i < 19; ++i) cues.on_event(2, false);  // before order 44: no bars
  EXPECT_EQ(cues.bar_height, 0);
  for (int i = 0; i < 19; ++i) cues.on_event(2, true);
  EXPECT_EQ(cues.bar_height, 95);
  cues.on_event(2, true);
  EXPECT_EQ(cues.bar_height, 99);
  for (int i = 0; i < 100; ++i) cues.on_event(2, true);
  EXPECT_EQ(cues.beat_counter, 282);
  EXPECT_EQ(cues.overlay_scroll, 93 * 540);
  EXPECT_EQ(cues.bar_height, 99);

  FinaleCues late;
  for (int i = 0; i < 93; ++i) late.on_event(2, false);
  late.on_event(2, true);  // order 44 after the counter stopped: no bars
  EXPECT_EQ(late.bar_height, 0);
  late.on_event(161, true);  // modes still switch
  EXPECT_EQ(late.texture, 1);
}

}  // namespace
}  // namespace morvane
