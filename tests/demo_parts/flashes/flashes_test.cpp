// Scene 4: the eleventh command wraps around, the frame loop's end and commands, and a real
// picture at full colour.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "archive/pcx_decoder.h"
#include "core/song_event.h"
#include "demo_parts/flashes/flashes_part.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::rgb565;
using testing::uniform;

// Picture k (0-based) is all colour index k + 1; the palette gives each its own colour.
constexpr std::array<std::array<int, 3>, 11> kColours = {{{0, 0, 0}, {255, 255, 255}, {248, 0, 0}, {0, 252, 0},
                                                          {0, 0, 248}, {100, 150, 200}, {13, 77, 201}, {255, 128, 64},
                                                          {7, 7, 7}, {200, 20, 120}, {64, 64, 255}}};

class FlashesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    std::vector<std::uint8_t> palette(768, 0);
    for (std::size_t c = 0; c < kColours.size(); ++c) {
      for (std::size_t k = 0; k < 3; ++k) palette[c * 3 + k] = static_cast<std::uint8_t>(kColours[c][k]);
    }
    for (int i = 1; i <= 10; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "dans%02d.pcx", i);
      // Only the last picture's palette counts: the others carry a wrong one.
      pictures.pictures[name] = {uniform(64000, static_cast<std::uint8_t>(i)), i == 10 ? palette : uniform(768, 99)};
    }
    part.load_from(pictures);
  }

  void frame(FlashRun& run, float t, bool event = false) {
    run.draw_frame(t, event, std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels));
  }
  // Every pixel shows picture k at full colour.
  bool shows_full(int k) const {
    const auto& c = kColours[static_cast<std::size_t>(k + 1)];
    const Rgb565 expected = rgb565(c[0], c[1], c[2]);
    return std::all_of(pixels.begin(), pixels.end(), [&](Rgb565 p) { return p == expected; });
  }
  bool all_black() const { return std::all_of(pixels.begin(), pixels.end(), [](Rgb565 p) { return p == 0; }); }

  MemoryPictures pictures;
  FlashesPart part;
  std::vector<Rgb565> pixels = std::vector<Rgb565>(kFramePixels, 0x1234);
};

TEST_F(FlashesTest, EachCommandRestartsTheFlashAndTheEleventhWrapsAround) {
  FlashRun run(part.assets());
  frame(run, 0.0f);
  frame(run, 100.0f);
  EXPECT_TRUE(all_black());
  for (int k = 1; k <= 10; ++k) {
    const float t = 100.0f + 10.0f * static_cast<float>(k);
    frame(run, t, true);
    ASSERT_TRUE(shows_full(k % 10)) << k;
    frame(run, t + 3.25f);
    EXPECT_EQ(run.level(), 28);
  }
  EXPECT_EQ(run.picture(), 0);
}

TEST_F(FlashesTest, RunDrawsTheOrder27FrameAndTakesAnyCommand) {
  testing::SongHarness song;
  const std::vector<testing::SongStep> script = {
      {25, 500, std::nullopt}, {26, 600, 7}, {26, 700, std::nullopt}, {27, 1200, std::nullopt}, {28, 1300, 3}};
  ASSERT_TRUE(song.play(part, script, 500));
  ASSERT_EQ(song.presented.size(), 4u);
  EXPECT_EQ(song.presented[1][0], rgb565(248, 0, 0));  // any value advances: second picture
  EXPECT_NE(song.presented[2][0], 0);                   // 7 ticks later: level 25
  EXPECT_EQ(song.presented[3][0], 0);                   // 42 ticks after the command: black
  EXPECT_EQ(song.presented[3], song.frame);
  EXPECT_FALSE(song_event().pending());
}

TEST(FlashesRealPictures, FullColourFrameIsThePaletteColourOfEveryPixel) {
  const std::filesystem::path dir = std::filesystem::path(MORVANE_TESTDATA_DIR) / "pcx";
  if (!std::filesystem::exists(dir / "mysha.pcx") || !std::filesystem::exists(dir / "allegro.pcx")) {
    GTEST_SKIP() << "no PCX test data in " << dir;
  }
  const auto read = [&](const char* name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  };
  const auto decoded = [](const std::vector<std::uint8_t>& file) {
    testing::MemoryPicture picture{std::vector<std::uint8_t>(64000), std::vector<std::uint8_t>(768)};
    decode_pcx(file, picture.pixels, picture.palette);
    return picture;
  };
  const testing::MemoryPicture shown = decoded(read("mysha.pcx"));
  const testing::MemoryPicture last = decoded(read("allegro.pcx"));
  MemoryPictures pictures;
  for (int i = 1; i <= 9; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "dans%02d.pcx", i);
    pictures.pictures[name] = shown;
  }
  pictures.pictures["dans10.pcx"] = last;
  FlashesPart part;
  part.load_from(pictures);
  FlashRun run(part.assets());
  std::vector<Rgb565> pixels(kFramePixels);
  run.draw_frame(0.0f, false, std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels));
  const auto& palette = last.palette;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const std::size_t c = shown.pixels[i];
    ASSERT_EQ(pixels[i], rgb565(palette[3 * c], palette[3 * c + 1], palette[3 * c + 2])) << i;
  }
}

}  // namespace
}  // namespace morvane
