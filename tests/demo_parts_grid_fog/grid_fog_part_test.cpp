// The grid-and-fog scene as a whole: its load (particles first, then the dimmed background), its
// teardown, the phase switch, and its frame loop against a scripted song.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "archive/archive.h"
#include "archive/pcx_decoder.h"
#include "demo_parts/grid_fog/grid_blend.h"
#include "demo_parts/grid_fog/grid_fog_part.h"
#include "engine/demo_rand.h"
#include "core/music.h"
#include "core/song_event.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::rgb565;
using FrameView = std::span<Rgb565, kFramePixels>;

FrameView view(std::vector<Rgb565>& pixels) { return FrameView(pixels.data(), kFramePixels); }

bool whole_numbers(const ColourGrid& grid) {
  return std::all_of(grid.begin(), grid.end(), [](const GridNode& n) { return ((n.red | n.green | n.blue) & 0xFFFF) == 0; });
}

class GridFogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_demo_rand();
    song_event().reset();
    std::vector<std::uint8_t> picture(kFramePixels, 1);
    std::fill(picture.begin(), picture.begin() + kFrameWidth, 2);  // top row a second colour
    pictures.pictures["fogback.pcx"] = {picture, testing::palette_of({{0, 0, 0}, {100, 200, 40}, {255, 255, 255}})};
  }

  MemoryPictures pictures;
  GridFogPart part;
};

TEST_F(GridFogTest, LoadDrawsTheParticlesThenDimsThePictureAndLetsItGo) {
  part.load_from(pictures);
  ASSERT_EQ(pictures.requests.size(), 1u);
  EXPECT_EQ(pictures.requests[0].name, "fogback.pcx");
  EXPECT_EQ(pictures.requests[0].pixel_count, 64000u);
  EXPECT_TRUE(pictures.requests[0].palette);
  EXPECT_FALSE(part.holds_picture());
  EXPECT_EQ(demo_rand(), 23921);  // the particles' 12000 numbers, no more
  const GridFogAssets assets = part.assets();
  EXPECT_EQ(assets.positions[0].x, -31);
  EXPECT_EQ(assets.background[0], 0x7BEF);
  EXPECT_EQ(assets.background[kFrameWidth], 0x3322);  // 12, 50, 5 halved: 6, 25, 2

  GridFogPart missing;
  pictures.pictures.clear();
  EXPECT_THROW(missing.load_from(pictures), std::runtime_error);
  EXPECT_FALSE(missing.loaded());
}

TEST_F(GridFogTest, PhaseTurnsToFogAtOrder34AndStaysUntilTheNextRun) {
  part.load_from(pictures);
  GridFogRun run(part.assets());
  std::vector<Rgb565> frame(kFramePixels);
  run.begin(view(frame));
  EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](Rgb565 p) { return p == 0xFFFF; }));
  run.draw_frame(33, 500.0f, view(frame));
  EXPECT_EQ(run.phase(), GridFogPhase::kWaves);
  EXPECT_TRUE(whole_numbers(part.assets().grid));
  run.draw_frame(34, 510.0f, view(frame));
  EXPECT_EQ(run.phase(), GridFogPhase::kFog);
  const ColourGrid& grid = part.assets().grid;
  EXPECT_FALSE(whole_numbers(grid));
  EXPECT_TRUE(std::all_of(grid.begin(), grid.end(), [](const GridNode& n) {
    return n.red >= kGridOne && n.green >= kGridOne && n.blue >= kGridOne && n.red < 30 * kGridOne &&
           n.green < 61 * kGridOne && n.blue < 30 * kGridOne;
  }));
  run.draw_frame(33, 520.0f, view(frame));
  EXPECT_EQ(run.phase(), GridFogPhase::kFog);
  run.begin(view(frame));
  EXPECT_EQ(run.phase(), GridFogPhase::kWaves);
}

TEST_F(GridFogTest, RunFadesInFromWhiteOnTheTimeSinceEntryAndEndsAtOrder36) {
  part.load_from(pictures);
  testing::SongHarness song;
  std::fill(song.frame.begin(), song.frame.end(), 0x1234);  // what the part before left
  ASSERT_TRUE(song.play(part, {{32, 1000, std::nullopt}, {33, 1500, 77}, {36, 2000, std::nullopt}, {37, 2100, std::nullopt}}, 700));
  ASSERT_EQ(song.presented.size(), 3u);
  // The same frames from the kernels alone, starting from white.
  std::vector<Rgb565> expected(kFramePixels, 0xFFFF), image(kFramePixels);
  ColourGrid grid{};
  for (int f = 0; f < 2; ++f) {
    fill_waves(grid, ms_to_ticks(f == 0 ? 1000 : 1500) - ms_to_ticks(700));
    interpolate_grid(grid, view(image));
    blend_grid(view(expected), view(image), part.assets().background);
    EXPECT_EQ(song.presented[static_cast<std::size_t>(f)], expected) << f;
  }
  EXPECT_FALSE(whole_numbers(part.assets().grid));  // order 36 drew the fog, then ended
  EXPECT_EQ(song_event().take(), std::optional<std::uint8_t>(77));  // left for the next part

  // Every run starts white with the waves; orders below 36 never end it (the harness stops it).
  EXPECT_FALSE(song.play(part, {{20, 100, std::nullopt}}));
  EXPECT_TRUE(whole_numbers(part.assets().grid));
  EXPECT_EQ(song.presented[0][0] & 0x8410, 0x8410);
}

// A real 320 x 200 picture from the shared test data: every background pixel is its palette
// colour cut to 5-6-5 and halved.
TEST(GridFogRealPicture, BackgroundIsTheHalvedPaletteColourOfEveryPixel) {
  const std::filesystem::path file = std::filesystem::path(MORVANE_TESTDATA_DIR) / "pcx" / "mysha.pcx";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no PCX test data at " << file;
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  testing::MemoryPicture picture{std::vector<std::uint8_t>(kFramePixels), std::vector<std::uint8_t>(768)};
  decode_pcx(bytes, picture.pixels, picture.palette);
  MemoryPictures pictures;
  pictures.pictures["fogback.pcx"] = picture;
  GridFogPart part;
  part.load_from(pictures);
  const auto background = part.assets().background;
  const auto& palette = picture.palette;
  for (std::size_t i = 0; i < background.size(); ++i) {
    const std::size_t c = picture.pixels[i];
    ASSERT_EQ(background[i], half_pixel(rgb565(palette[3 * c], palette[3 * c + 1], palette[3 * c + 2]))) << i;
  }
}

TEST(GridFogData, LoadsFromTheStandInDataFileAndTearsDown) {
  const Archive archive(std::string(MORVANE_BUILD_DIR) + "/morvane.dat");
  if (!archive.list()) GTEST_SKIP() << "no stand-in data file in the build directory";
  GridFogPart part;
  part.load(archive);
  ASSERT_TRUE(part.loaded());
  const auto background = part.assets().background;
  EXPECT_TRUE(std::any_of(background.begin(), background.end(), [](Rgb565 p) { return p != 0; }));
  part.teardown();
  EXPECT_FALSE(part.loaded());
  EXPECT_THROW(part.assets(), std::logic_error);
}

}  // namespace
}  // namespace morvane
