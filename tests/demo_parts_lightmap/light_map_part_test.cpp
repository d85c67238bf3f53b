// The light-map scene: its load, the feedback phase's commands and first frames, the rays
// phase's flash, shake, rise, flare and stale bytes, and the whole run against a scripted song.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive.h"

#include "demo_parts/lightmap/light_blur.h"
#include "demo_parts/lightmap/light_map_part.h"
#include "demo_parts/shade_tables.h"
#include "engine/demo_rand.h"
#include "core/song_event.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::palette_of;
using testing::uniform;

constexpr Rgb565 kWhite = 0xFFFF;

class LightMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    reset_demo_rand();
    pictures.pictures["sprott.pcx"] = {uniform(100, 10), {}};
    pictures.pictures["gl_pic.pcx"] = {uniform(64000, 1), palette_of({{0, 0, 0}, {100, 150, 200}})};
    pictures.pictures["gl_tex.pcx"] = {uniform(65536, 5), {}};
    pictures.pictures["flares.pcx"] = {uniform(80000, 0), {}};
    pictures.pictures["liglog.pcx"] = {uniform(128000, 0), palette_of({{9, 9, 9}})};
  }
  void load() {
    part.load_from(pictures);
    run.emplace(part.assets());
    run->begin(frame_view());
  }
  std::span<Rgb565, kFramePixels> frame_view() { return std::span<Rgb565, kFramePixels>(frame.data(), kFramePixels); }
  void feedback_frame(int order, float t, std::optional<std::uint8_t> event = std::nullopt) {
    run->draw_feedback_frame(order, t, event, frame_view());
  }
  void rays_frame(int t, std::optional<std::uint8_t> event = std::nullopt) { run->draw_rays_frame(t, event, frame_view()); }
  std::uint8_t current(int i) const { return visible_area(run->current())[static_cast<std::size_t>(i)]; }
  std::vector<std::uint8_t> other_copy() const {
    const auto v = visible_area(run->other());
    return std::vector<std::uint8_t>(v.begin(), v.end());
  }
  // Every ray aimed at (x, y): from a source there, neither short nor long rays draw anything.
  void aim_all_rays_at(int x, int y) {
    for (Ray& ray : part.assets().rays) {
      ray.target_x = static_cast<std::int16_t>(x);
      ray.target_y = static_cast<std::int16_t>(y);
    }
  }

  MemoryPictures pictures;
  LightMapPart part;
  std::optional<LightMapRun> run;
  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels, 0x1234);
};

TEST_F(LightMapTest, LoadReadsFivePicturesAndAimsTheRaysFromTheSharedSequence) {
  part.load_from(pictures);
  std::string order;
  for (const auto& r : pictures.requests) order += r.name + ":" + std::to_string(r.pixel_count) + (r.palette ? "+p " : " ");
  EXPECT_EQ(order, "sprott.pcx:100 gl_pic.pcx:64000+p gl_tex.pcx:65536 flares.pcx:80000 liglog.pcx:128000+p ");
  const LightMapAssets assets = part.assets();
  // The first two numbers of the sequence are 41 and 18467; ray 256 points at 90 degrees.
  EXPECT_EQ(assets.rays[0].target_x, -159);
  EXPECT_EQ(assets.rays[0].target_y, 340);
  EXPECT_EQ(assets.rays[256].target_x, 741);
  EXPECT_EQ(assets.rays[256].target_y, 71);
  EXPECT_EQ(assets.rays[700].target_x, -65);
  EXPECT_EQ(assets.rays[700].target_y, -74);
  EXPECT_EQ(demo_rand(), 28382);  // the 2049th number: two per ray were drawn
  // After the mask picture everything a window can reach reads as covered.
  EXPECT_EQ(assets.mask[127999], 0);
  EXPECT_TRUE(std::all_of(assets.mask.begin() + 128000, assets.mask.end(), [](std::uint8_t b) { return b == 255; }));
  EXPECT_TRUE(std::all_of(assets.map_a.begin(), assets.map_a.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(assets.grey[63], kWhite);
  EXPECT_EQ(assets.warp1[32160], 32160);
  EXPECT_EQ(part.picture_palette()[3], 100);
  // Level 64 of colour 1 is the colour itself.
  EXPECT_EQ(assets.shade[64 * 256 + 1], testing::rgb565(100, 150, 200));
}

TEST_F(LightMapTest, MissingPictureFailsTheLoadWithItsMessage) {
  pictures.pictures.erase("liglog.pcx");
  try {
    part.load_from(pictures);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Could not load the file 'liglog.pcx' from memory");
  }
  EXPECT_FALSE(part.loaded());
}

TEST_F(LightMapTest, FirstFeedbackFrameBlursAndWarpsTheFullLight) {
  load();
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](Rgb565 p) { return p == kWhite; }));
  feedback_frame(15, 0.0f);
  // Level 127 is white for every colour; the blurred interior drops to 126, the top-left
  // pixel to 63, and table 1 sends pixel 243 (a wrapped source) to pixel 0.
  const LightShadeView shade = part.assets().shade;
  EXPECT_EQ(current(78), 126);
  EXPECT_EQ(current(243), 63);
  EXPECT_EQ(frame[243], shade[63 * 256 + 1]);
  EXPECT_EQ(frame[243], testing::rgb565(12 * 8, 36 * 4, 24 * 8));
  for (std::size_t i = 0; i < frame.size(); i += 7) ASSERT_EQ(frame[i], shade[current(static_cast<int>(i)) * 256 + 1]) << i;
}

TEST_F(LightMapTest, CommandThreeSwitchesToTheWideWarp) {
  load();
  feedback_frame(15, 0.0f, 3);
  EXPECT_TRUE(run->wide_warp());
  EXPECT_EQ(current(78), 63);    // table 2 reads pixel 0 here
  EXPECT_EQ(current(243), 126);  // and not here
}

TEST_F(LightMapTest, CommandOneTurnsFeedbackOffAndTheFrameAveragesFromWhite) {
  load();
  feedback_frame(15, 0.0f, 1);
  EXPECT_FALSE(run->feedback());
  // The light was cleared and only curves drawn: dark pixels average black into white.
  EXPECT_EQ(current(0), 0);
  EXPECT_EQ(frame[0], 0x7BEF);
  feedback_frame(15, 1.0f);
  EXPECT_EQ(frame[0], 0x7BEF >> 1 & 0x7BEF);
  // A second command 1 returns to feedback and clears nothing: last frame's light, both curve
  // sets, goes into the blur and the warp together with the new second set.
  std::vector<std::uint8_t> expected(run->current().begin(), run->current().end());
  std::vector<std::uint8_t> warped(kLightMapBytes, 0);
  std::vector<CurvePoint> points(kCurvePointStore);
  const LightMapBuffer before(expected.data(), expected.size());
  draw_glow_curves(static_cast<float>(1.3 + 0.39 * std::sin(0.0174532924 * 2.0)),
                   static_cast<int>(180 + 179 * std::sin(0.0139626344 * 2.0)), visible_area(before), part.assets().dot,
                   part.assets().weights, CurvePointView(points.data(), points.size()));
  blur_light_map(before);
  warp_light_map(visible_area(before), visible_area(LightMapBuffer(warped.data(), warped.size())), part.assets().warp1);
  feedback_frame(15, 2.0f, 1);
  EXPECT_TRUE(run->feedback());
  EXPECT_TRUE(std::equal(warped.begin(), warped.end(), run->current().begin()));
  EXPECT_EQ(frame[0], part.assets().shade[current(0) * 256 + 1]);  // replaced, not averaged
}

TEST_F(LightMapTest, Order19DrawsOnlyTheSecondCurvesWhileFeedbackIsOff) {
  load();
  feedback_frame(18, 0.0f, 1);
  const float t = 250.0f;
  // The second set alone, drawn apart on a dark map.
  std::vector<std::uint8_t> alone(kFramePixels, 0);
  std::vector<CurvePoint> points(kCurvePointStore);
  const auto s = static_cast<float>(1.3 + 0.39 * std::sin(0.0174532924 * t));
  const int a = static_cast<int>(180 + 179 * std::sin(0.0139626344 * t));
  draw_glow_curves(s, a, LightView(alone.data(), alone.size()), part.assets().dot, part.assets().weights,
                   CurvePointView(points.data(), points.size()));
  feedback_frame(19, t);
  const auto light = visible_area(run->current());
  EXPECT_TRUE(std::equal(light.begin(), light.end(), alone.begin()));
  feedback_frame(18, t);
  EXPECT_GT(std::accumulate(light.begin(), light.end(), 0), std::accumulate(alone.begin(), alone.end(), 0));
}

TEST_F(LightMapTest, CommandTwoAddsTheTexturedFrameWhileFeedbackIsOff) {
  load();
  feedback_frame(15, 0.0f, 1);
  EXPECT_EQ(current(0), 0);
  feedback_frame(15, 1.0f, 2);
  EXPECT_TRUE(run->frame_shown());
  EXPECT_EQ(current(0), 5);  // the frame's ring covers the corners with the texture's level
  feedback_frame(15, 2.0f, 2);
  EXPECT_EQ(current(0), 0);
}

TEST_F(LightMapTest, FlashFillsBothMapsAndShowsWhiteForOneFrame) {
  load();
  feedback_frame(20, 0.0f);
  run->begin_rays();
  EXPECT_EQ(run->window_offset(), kMaskRestOffset);
  rays_frame(10, 1);
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](Rgb565 p) { return p == kWhite; }));
  EXPECT_TRUE(run->rise());
  EXPECT_FALSE(run->flash());
  rays_frame(11);
  EXPECT_FALSE(std::all_of(frame.begin(), frame.end(), [](Rgb565 p) { return p == kWhite; }));
  // Rise without shake leaves the window at rest.
  EXPECT_EQ(run->window_offset(), kMaskRestOffset);
}

TEST_F(LightMapTest, ShakeMovesTheWindowDownThenRiseLiftsItByTheCubeLaw) {
  load();
  run->begin_rays();
  rays_frame(100, 2);
  EXPECT_TRUE(run->shake());
  EXPECT_EQ(run->window_offset(), kMaskRestOffset);  // w = 0
  rays_frame(130);  // w = 3: 3 sin 9 = 1.24
  EXPECT_EQ(run->window_offset(), kMaskRestOffset + 1);
  for (int t = 131; t < 400; ++t) {
    rays_frame(t);
    ASSERT_GE(run->window_offset(), kMaskRestOffset);
    ASSERT_LE(run->window_offset(), kMaskRestOffset + 6400);
  }
  rays_frame(400, 1);
  EXPECT_EQ(run->window_offset(), 210 * 320);
  rays_frame(500);  // 100^3 / 13000 = 76.9
  EXPECT_EQ(run->window_offset(), (210 - 76) * 320);
  rays_frame(537);  // 137^3 / 13000 = 197.8
  EXPECT_EQ(run->window_offset(), (210 - 197) * 320);
  rays_frame(539);
  EXPECT_EQ(run->window_offset(), 10 * 320);
}

TEST_F(LightMapTest, SourceWandersUnclampedWithoutShakeAndStaysOnTheScreenWithIt) {
  load();
  run->begin_rays();
  const LightSource start = run->place_source(0);
  EXPECT_EQ(start.x, 160.0f);
  EXPECT_EQ(start.y, 160.0f);
  const LightSource later = run->place_source(1000);
  EXPECT_FLOAT_EQ(later.x, static_cast<float>(160 + 90 * std::sin(14.5734997)));
  EXPECT_FLOAT_EQ(later.y, static_cast<float>(100 + 60 * std::cos(16.6329882)));
  rays_frame(0, 2);
  for (int t = 0; t < 3000; t += 7) {
    const LightSource s = run->place_source(t);
    ASSERT_GE(s.x, 0.0f);
    ASSERT_LE(s.x, 319.0f);
    ASSERT_GE(s.y, 0.0f);
    ASSERT_LE(s.y, 199.0f);
  }
  EXPECT_EQ(run->place_source(1500).y, 199.0f);  // w = 150: swung far below, clamped
}

TEST_F(LightMapTest, LensFlareShowsOnlyWhileTheSourceIsUncovered) {
  pictures.pictures["flares.pcx"] = {uniform(80000, 2), {}};
  std::vector<std::uint8_t> logo(128000, 0);
  logo[370 * 320 + 160] = 1;  // under the source at t = 0: (160, 160), mask row 210 + 160
  pictures.pictures["liglog.pcx"] = {logo, palette_of({})};
  load();
  const auto lit = [&] {
    // After the frame the map drawn into is the other one; it was dark before the frame.
    const auto drawn = visible_area(run->other());
    return std::count_if(drawn.begin(), drawn.end(), [](std::uint8_t b) { return b != 0; });
  };
  run->begin_rays();
  aim_all_rays_at(160, 160);  // from a source there no ray draws anything
  rays_frame(0);
  EXPECT_EQ(lit(), 0);

  run->begin_rays();
  const LightSource source = run->place_source(1);
  const int x = static_cast<int>(source.x), y = static_cast<int>(source.y);
  ASSERT_EQ(x, 161);
  ASSERT_EQ(y, 159);
  aim_all_rays_at(x, y);
  rays_frame(1);
  // Five images of 2 along (161, 159) -> (158, 40), overlapping and cut by the bottom edge:
  // columns 81..240, rows 13..199.
  EXPECT_GT(lit(), 160 * 180);
  EXPECT_LT(lit(), 165 * 190);
}

TEST_F(LightMapTest, PhaseOneBytesOutsideTheDecayShowOnTheFirstRaysFrame) {
  load();
  aim_all_rays_at(160, 160);
  feedback_frame(20, 0.0f);
  run->begin_rays();
  const std::vector<std::uint8_t> stale = other_copy();
  ASSERT_EQ(stale[0], 63);
  const GreyRampView grey = part.assets().grey;
  rays_frame(0);  // the source (160, 160) is not covered: rays and flare draw nothing
  for (int i : {0, 100, 319, 320, 63677, 63678, 63679, 63680, 63999}) {
    EXPECT_EQ(frame[static_cast<std::size_t>(i)], grey[stale[static_cast<std::size_t>(i)]]) << i;
  }
  EXPECT_EQ(frame[321], 0);
  rays_frame(1);
  EXPECT_EQ(frame[0], 0);  // the map cleared between the phases
  rays_frame(2);
  // The first map again: the decay cleared its row 0, and drawing into it with the window at
  // rest put out its bottom ten rows, which the ten rows of 255 after the mask picture cover.
  EXPECT_EQ(frame[0], 0);
  EXPECT_EQ(frame[63678], 0);
}

TEST_F(LightMapTest, RunPlaysBothPhasesToOrder25AndDrawsEachEndFrame) {
  part.load_from(pictures);
  testing::SongHarness song;
  const std::vector<testing::SongStep> script = {{18, 1000, std::nullopt}, {19, 1100, 1},   {20, 1200, std::nullopt},
                                                 {20, 1300, 1},            {24, 1400, std::nullopt}, {25, 1500, 2},
                                                 {26, 1600, std::nullopt}};
  ASSERT_TRUE(song.play(part, script, 900));
  ASSERT_EQ(song.presented.size(), 6u);
  // The order-20 frame still belongs to the picture; the next one is the grey flash.
  EXPECT_FALSE(std::all_of(song.presented[2].begin(), song.presented[2].end(), [](Rgb565 p) { return p == kWhite; }));
  EXPECT_TRUE(std::all_of(song.presented[3].begin(), song.presented[3].end(), [](Rgb565 p) { return p == kWhite; }));
  // Every rays frame is grey: red and blue alike, green twice as fine.
  for (std::size_t f = 4; f < 6; ++f) {
    for (const Rgb565 p : song.presented[f]) {
      const int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
      ASSERT_EQ(r, b);
      ASSERT_EQ(g / 2, r);
    }
  }
  EXPECT_FALSE(song_event().pending());
  EXPECT_EQ(song.presented.back(), song.frame);
}

TEST(LightMapData, LoadsFromTheStandInDataFileAndTearsDown) {
  const Archive archive(std::string(MORVANE_BUILD_DIR) + "/morvane.dat");
  if (!archive.list()) GTEST_SKIP() << "no stand-in data file in the build directory";
  reset_demo_rand();
  LightMapPart part;
  part.load(archive);
  ASSERT_TRUE(part.loaded());
  const LightMapAssets assets = part.assets();
  // The frame texture's bytes are light levels the shade table covers.
  EXPECT_LE(*std::max_element(assets.texture.begin(), assets.texture.end()), 127);
  EXPECT_GT(std::count(assets.mask.begin(), assets.mask.begin() + 128000, 0), 0);
  part.teardown();
  EXPECT_FALSE(part.loaded());
  EXPECT_THROW(part.assets(), std::logic_error);
}

}  // namespace
}  // namespace morvane
