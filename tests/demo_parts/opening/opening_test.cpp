// Scene 1: cloud projection guards, the glow stamp cap, the level table's top, the load's failure,
// and commands the short show never sends.
#include <gtest/gtest.h>


#include "core/song_event.h"
#include "demo_parts/opening/opening_part.h"
#include "engine/demo_rand.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

// Expected values worked out from the definition: groups of four from offset 321, each group
// computed from the buffer as it stands (new bytes before it, old bytes from it on).

CloudTransform flat_transform(double depth) {
  CloudTransform m{};
  m.x_row = {1, 0, 0};
  m.y_row = {0, 1, 0};
  m.depth_row = {0, 0, 0};
  m.offset = {0, 0, depth};
  return m;
}

using testing::MemoryPictures;
using testing::palette_of;
using testing::uniform;

constexpr std::uint8_t kColour = 1;

class OpeningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_demo_rand();
    song_event().reset();
    pictures.pictures["begin_bw.pcx"] = {uniform(64000, 30), {}};
    pictures.pictures["sprott.pcx"] = {uniform(100, 10), {}};
    pictures.pictures["begin.pcx"] = {uniform(64000, kColour), palette_of({{0, 0, 0}, {40, 80, 120}})};
    pictures.pictures["begin2.pcx"] = {uniform(64000, kColour), palette_of({{0, 0, 0}, {200, 100, 50}})};
  }

  void load() { part.load_from(pictures); }

  // Draws one frame with a fresh or continuing run.
  void frame(OpeningRun& run, int order, float t, std::optional<std::uint8_t> event = std::nullopt) {
    run.draw_frame(order, t, event, std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels));
  }
  void set_glow(std::uint8_t value) {
    auto glow = part.assets().glow;
    std::fill(glow.begin(), glow.end(), value);
  }
  std::uint8_t glow_at(int x, int y) const { return part.assets().glow[static_cast<std::size_t>(y * 320 + x)]; }
  Rgb565 shade1(int level) const { return part.assets().shade1[static_cast<std::size_t>(level * 256 + kColour)]; }
  Rgb565 shade2(int level) const { return part.assets().shade2[static_cast<std::size_t>(level * 256 + kColour)]; }
  Rgb565 pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y * 320 + x)]; }

  MemoryPictures pictures;
  OpeningPart part;
  std::vector<Rgb565> pixels = std::vector<Rgb565>(kFramePixels);
};

TEST(CloudProjection, TruncatesTowardZeroAtTheStampingEdges) {
  const CloudTransform unit = flat_transform(256.0);  // w = 1
  EXPECT_EQ(project_point(unit, {-160.5f, 0.0f, 0.0f})->x, 0);  // -0.5 truncates to 0
  EXPECT_FALSE(project_point(unit, {-161.0f, 0.0f, 0.0f}));
  EXPECT_EQ(project_point(unit, {151.5f, 0.0f, 0.0f})->x, 311);
  EXPECT_FALSE(project_point(unit, {152.0f, 0.0f, 0.0f}));
  EXPECT_EQ(project_point(unit, {0.0f, 91.75f, 0.0f})->y, 191);
  EXPECT_FALSE(project_point(unit, {0.0f, 92.0f, 0.0f}));
  EXPECT_EQ(project_point(flat_transform(-512.0), {20.0f, 0.0f, 0.0f})->x, 170);  // |depth|
}

TEST(CloudProjection, PointsBeyondTheIntegerRangeAreSkipped) {
  EXPECT_FALSE(project_point(flat_transform(1e-300), {1.0f, 0.0f, 0.0f}));
  EXPECT_FALSE(project_point(flat_transform(1e-300), {0.0f, -1.0f, 0.0f}));
  // Infinite scale times a zero coordinate: NaN, not a position.
  EXPECT_FALSE(project_point(flat_transform(std::numeric_limits<double>::denorm_min()), {0.0f, 0.0f, 0.0f}));
}

TEST_F(OpeningTest, MissingPictureFailsTheLoadWithTheLoadersMessage) {
  pictures.pictures.erase("begin2.pcx");
  try {
    load();
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Could not load the file 'begin2.pcx' from memory");
  }
  EXPECT_FALSE(part.loaded());
}

TEST_F(OpeningTest, RepeatCommandBeforeAnyBarOnlyStartsTheFlash) {
  load();
  OpeningRun run(part.assets());
  frame(run, 0, 20.7f, 185);
  EXPECT_EQ(run.flash_time(), 20);
  EXPECT_TRUE(std::all_of(part.assets().glow.begin(), part.assets().glow.end(), [](auto g) { return g == 0; }));
}

TEST_F(OpeningTest, RunPlaysUntilTheFrameOfOrder11AndTakesEachCommandInItsFrame) {
  load();
  testing::SongHarness song;
  std::vector<testing::SongStep> script;
  for (int f = 0; f < 6; ++f) script.push_back({f < 3 ? 0 : 8, 1000 + 100 * f, std::nullopt});
  script[4].event = 184;
  script.push_back({11, 2000, std::nullopt});
  script.push_back({12, 2100, std::nullopt});  // never reached
  ASSERT_TRUE(song.play(part, script, 1000));
  ASSERT_EQ(song.presented.size(), 7u);
  EXPECT_EQ(song.presented.back(), song.frame);
  // The first frame at t = 0 is black (level 0, mask 30), the bar frame shows the second
  // picture lit by the bar.
  EXPECT_TRUE(std::all_of(song.presented[0].begin(), song.presented[0].end(), [](Rgb565 p) { return p == 0; }));
  EXPECT_NE(song.presented[4][90 * 320 + 100], song.presented[4][10 * 320 + 100]);
}

}  // namespace
}  // namespace morvane
