// Scene 6: channel wrap-around and arithmetic shifts, the fog's limits, projection guards, a real
// background picture, and the phase across runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "archive/pcx_decoder.h"
#include "core/song_event.h"
#include "demo_parts/grid_fog/grid_fog_part.h"
#include "engine/demo_rand.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

constexpr std::int32_t kOne = kGridOne;

GridNode node_of(int red, int green, int blue) { return GridNode{red * kOne, green * kOne, blue * kOne}; }
GridNode& at(ColourGrid& grid, int row, int column) { return grid[static_cast<std::size_t>(grid_index(row, column))]; }
constexpr Rgb565 pack565(int r, int g, int b) { return static_cast<Rgb565>((r << 11) | (g << 5) | b); }

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

TEST(GridFogImage, ShiftsAreArithmeticAndChannelsWrapAt256) {
  ColourGrid grid;
  grid.fill(GridNode{kOne, kOne, kOne});
  at(grid, 0, 1).red = kOne - 1;  // (-1) >> 3 stays -1: the very first pixel drops to 0
  std::vector<Rgb565> image(kFramePixels);
  const std::span<Rgb565, kFramePixels> view(image.data(), kFramePixels);
  interpolate_grid(grid, view);
  EXPECT_EQ(image[0], pack565(0, 1, 1));
  grid.fill(node_of(257, 96, 0));  // integer parts kept modulo 256, then OR-ed into place
  interpolate_grid(grid, view);
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](Rgb565 p) { return p == pack565(1, 32, 0); }));
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

}  // namespace
}  // namespace morvane
