// The finale as a whole: its load (pictures in order, doubled textures, released overlay source,
// aligned page), its teardown, the first frames' fade and overlay, the effect switches, the light
// freeze, the closing bars and line, and the end on command 255 against a scripted song.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "archive/archive.h"
#include "demo_parts/finale/finale_part.h"
#include "demo_parts/half_blend.h"
#include "demo_parts/shade_tables.h"
#include "core/song_event.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::palette_of;
using testing::rgb565;
using testing::SongStep;

constexpr Rgb565 kOverlayColour = rgb565(248, 0, 0);

std::vector<std::uint8_t> pattern(std::size_t size, int modulus, int scale = 1) {
  std::vector<std::uint8_t> out(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(static_cast<int>(i / scale) % modulus);
  return out;
}

Rgb565 half(Rgb565 p) { return static_cast<Rgb565>((p >> 1) & 0x7BEF); }

class FinaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    pictures.pictures["light.pcx"] = {std::vector<std::uint8_t>(kFramePixels, 0), {}};
    pictures.pictures["light256.pcx"] = {pattern(65536, 40, 7), {}};
    // The overlay's first column is see-through.
    std::vector<std::uint8_t> spice(kOverlayPixels, 1);
    for (std::size_t i = 0; i < spice.size(); i += kOverlayWidth) spice[i] = 0;
    pictures.pictures["spice.pcx"] = {spice, palette_of({{0, 0, 0}, {248, 0, 0}})};
    // Texture n: colour index 1 + (a texel pattern mod 8) + 8n, so the layers show which
    // texture was read, and no colour is black.
    for (int n = 0; n < 3; ++n) {
      std::vector<std::uint8_t> texture(65536);
      for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>(1 + (i * 7 + (i >> 8)) % 8 + 8 * n);
      std::vector<std::uint8_t> palette(768);
      for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint8_t>(i * (n + 3));
      pictures.pictures["wogtex" + std::to_string(n + 1) + ".pcx"] = {texture, palette};
    }
  }
  void load() {
    part.load_from(pictures);
    assets.emplace(part.assets());
  }
  bool step(FinaleRun& run, int order, float t, std::optional<std::uint8_t> event = std::nullopt) {
    return run.draw_frame(order, t, event, FrameView(frame.data(), kFramePixels));
  }
  Rgb565 shade(int table, int level, int colour) const {
    return assets->shades[static_cast<std::size_t>(table)][static_cast<std::size_t>(level * 256 + colour)];
  }
  std::vector<std::uint8_t> layer(LayerView view) const { return {view.begin(), view.end()}; }
  // What the mapped kernel gives for a texture, an offset and a table.
  std::vector<std::uint8_t> mapped(DoubledTextureView texture, int offset, std::span<const std::uint16_t, kFramePixels> table) {
    std::vector<std::uint8_t> out(kFramePixels);
    draw_mapped_layer(texture, offset, table, LayerView(out.data(), kFramePixels));
    return out;
  }

  MemoryPictures pictures;
  FinalePart part;
  std::optional<FinaleAssets> assets;
  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels, 0x4208);
};

TEST_F(FinaleTest, LoadReadsThePicturesInOrderAndBuildsItsTables) {
  load();
  const std::pair<const char*, std::size_t> expected[] = {{"light.pcx", 64000},    {"light256.pcx", 65536},
                                                          {"spice.pcx", 86400},    {"wogtex1.pcx", 65536},
                                                          {"wogtex2.pcx", 65536},  {"wogtex3.pcx", 65536}};
  ASSERT_EQ(pictures.requests.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(pictures.requests[i].name, expected[i].first);
    EXPECT_EQ(pictures.requests[i].pixel_count, expected[i].second);
    EXPECT_EQ(pictures.requests[i].palette, i >= 2) << i;
  }
  EXPECT_FALSE(part.holds_overlay_source());
  EXPECT_EQ(assets->overlay[0], 0);
  EXPECT_EQ(assets->overlay[1], kOverlayColour);
  for (const DoubledTextureView texture : {assets->light_texture, assets->textures[0], assets->textures[2]}) {
    EXPECT_TRUE(std::equal(texture.begin(), texture.begin() + 65536, texture.begin() + 65536));
  }
  EXPECT_EQ(assets->textures[2][65536 + 1], 1 + 7 + 16);
  std::vector<std::uint16_t> table(kFramePixels);
  build_polar_table(PixelTableView(table.data(), kFramePixels));
  EXPECT_TRUE(std::equal(table.begin(), table.end(), assets->polar.begin()));
  build_tunnel_table(PixelTableView(table.data(), kFramePixels));
  EXPECT_TRUE(std::equal(table.begin(), table.end(), assets->tunnel.begin()));
  // Each shade table comes from its own texture's palette: level 0 is the colour cut to 5:6:5,
  // the upper half white.
  for (int n = 0; n < 3; ++n) {
    const int k = n + 3;  // palette byte i is i x k
    EXPECT_EQ(shade(n, 0, 5), rgb565(15 * k % 256, 16 * k % 256, 17 * k % 256)) << n;
    EXPECT_EQ(shade(n, 64, 5), 0xFFFF);
  }
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(assets->page.data()) % kWavePageBytes, 0u);
}

TEST_F(FinaleTest, MissingPictureThrowsTheLoaderMessage) {
  pictures.pictures.erase("wogtex3.pcx");
  try {
    part.load_from(pictures);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Could not load the file 'wogtex3.pcx' from memory");
  }
  EXPECT_FALSE(part.loaded());
  part.teardown();
}

TEST(FinaleData, LoadsFromTheStandInDataFileAndTearsDown) {
  const Archive archive(std::string(MORVANE_BUILD_DIR) + "/morvane.dat");
  if (!archive.list()) GTEST_SKIP() << "no stand-in data file in the build directory";
  FinalePart part;
  part.load(archive);
  ASSERT_TRUE(part.loaded());
  EXPECT_FALSE(part.holds_overlay_source());
  const FinaleAssets assets = part.assets();
  // The stand-in light pictures keep to levels 0..63, well inside the 128-level tables.
  EXPECT_LE(*std::max_element(assets.light_picture.begin(), assets.light_picture.end()), 63);
  EXPECT_TRUE(std::any_of(assets.overlay.begin(), assets.overlay.end(), [](Rgb565 p) { return p != 0; }));
  part.teardown();
  EXPECT_FALSE(part.loaded());
  EXPECT_THROW(part.assets(), std::logic_error);
  part.teardown();  // a second teardown does nothing
}

TEST_F(FinaleTest, FirstFramesFadeFromBrightAndShowTheOverlayForSixTicks) {
  load();
  FinaleRun run(*assets);
  EXPECT_TRUE(std::all_of(assets->light.begin(), assets->light.end(), [](std::uint8_t l) { return l == 0; }));
  Rgb565 left = frame[10];
  for (int i = 0; i < 10; ++i) {
    const float t = 0.5f + static_cast<float>(i) * 0.75f;  // 0.5 .. 7.25
    ASSERT_TRUE(step(run, 60, t));
    const int flash = std::max(14 - 2 * i, 0);
    EXPECT_EQ(run.flash(), flash) << i;
    const int colour = assets->colour[10];
    EXPECT_EQ(assets->intermediate[10], shade(0, flash, colour)) << i;
    left = static_cast<Rgb565>(half(assets->intermediate[10]) + half(left));
    EXPECT_EQ(frame[10], left) << i;
    // The overlay shows while t - (-1) is below 7; its see-through first column lets the
    // blend show at column 70.
    const bool shown = t < 6.0f;
    EXPECT_EQ(frame[71] == kOverlayColour, shown) << t;
    EXPECT_EQ(frame[249 + 320 * 199] == kOverlayColour, shown) << t;
    EXPECT_NE(frame[70], kOverlayColour);
  }
}

TEST_F(FinaleTest, CommandsSwitchTextureColourEffectAndLightEffect) {
  load();
  FinaleRun run(*assets);
  ASSERT_TRUE(step(run, 60, 10.0f));  // rings on texture 1
  EXPECT_EQ(layer(assets->colour), mapped(assets->textures[0], colour_offset(10.0f), assets->polar));

  ASSERT_TRUE(step(run, 60, 20.0f, 161));
  EXPECT_EQ(run.cues().texture, 1);
  EXPECT_EQ(layer(assets->colour), mapped(assets->textures[1], colour_offset(20.0f), assets->polar));
  EXPECT_EQ(assets->intermediate[123], shade(1, run.flash(), assets->colour[123]));  // light.pcx is all 0

  ASSERT_TRUE(step(run, 60, 30.0f, 241));
  EXPECT_EQ(layer(assets->colour), mapped(assets->textures[1], colour_offset(30.0f), assets->tunnel));

  ASSERT_TRUE(step(run, 60, 40.0f, 177));
  EXPECT_EQ(layer(assets->light), mapped(assets->light_texture, light_tunnel_offset(40.0f), assets->tunnel));
  ASSERT_TRUE(step(run, 60, 50.0f, 178));
  EXPECT_EQ(layer(assets->light), mapped(assets->light_texture, light_rings_offset(50.0f), assets->polar));
  EXPECT_EQ(assets->intermediate[4567], shade(1, run.flash() + assets->light[4567], assets->colour[4567]));

  ASSERT_TRUE(step(run, 60, 333.5f, 242));
  std::vector<std::uint8_t> page(kWavePageBytes), expected(kFramePixels);
  const float f = 333.5f * 0.0026785714f;
  build_wave_page(assets->textures[1], interference_k(333.5f, f), 333.5f, WavePageView(page.data(), kWavePageBytes));
  EXPECT_TRUE(std::equal(page.begin(), page.end(), assets->page.begin()));
  draw_interference(assets->ripple, ripple_windows(333.5f),
                    std::span<const std::uint8_t, kWavePageBytes>(page.data(), kWavePageBytes),
                    LayerView(expected.data(), kFramePixels));
  EXPECT_EQ(layer(assets->colour), expected);
}

TEST_F(FinaleTest, LightPictureIsCopiedOnTheFirstFrameOnlyAndModeZeroFreezesTheLastLight) {
  pictures.pictures["light.pcx"] = {pattern(kFramePixels, 50), {}};
  load();
  {
    FinaleRun run(*assets);
    ASSERT_TRUE(step(run, 60, 0.0f));
    EXPECT_EQ(layer(assets->light), pictures.pictures["light.pcx"].pixels);
    ASSERT_TRUE(step(run, 60, 10.0f, 177));
    const auto moving = layer(assets->light);
    ASSERT_NE(moving, pictures.pictures["light.pcx"].pixels);
    ASSERT_TRUE(step(run, 60, 20.0f, 176));  // back to mode 0: the last light stays
    EXPECT_EQ(layer(assets->light), moving);
    ASSERT_TRUE(step(run, 60, 30.0f, 178));
    const auto rings = layer(assets->light);
    ASSERT_TRUE(step(run, 60, 40.0f, 179));  // hold
    ASSERT_TRUE(step(run, 60, 50.0f));
    EXPECT_EQ(layer(assets->light), rings);
  }
  // A run whose first frame already moves the light never shows the picture.
  FinaleRun run(*assets);
  EXPECT_TRUE(std::all_of(assets->light.begin(), assets->light.end(), [](std::uint8_t l) { return l == 0; }));
  ASSERT_TRUE(step(run, 60, 0.0f, 178));
  const auto first = layer(assets->light);
  ASSERT_TRUE(step(run, 60, 10.0f, 176));
  EXPECT_EQ(layer(assets->light), first);
}

TEST_F(FinaleTest, BarsCloseOnBeatsOnlyOnceOrder44WasSeen) {
  load();
  FinaleRun run(*assets);
  ASSERT_TRUE(step(run, 43, 10.0f, 2));
  ASSERT_TRUE(step(run, 45, 20.0f, 2));  // order 44 skipped: no mark yet
  EXPECT_FALSE(run.bars_closing());
  EXPECT_EQ(run.cues().bar_height, 0);
  EXPECT_NE(assets->intermediate[0], 0);
  ASSERT_TRUE(step(run, 44, 30.0f, 2));  // the mark comes before this frame's beat
  EXPECT_EQ(run.cues().bar_height, 5);
  ASSERT_TRUE(step(run, 47, 40.0f));
  EXPECT_TRUE(run.bars_closing());  // it stays
  for (const int y : {0, 4, 195, 199}) EXPECT_EQ(assets->intermediate[static_cast<std::size_t>(y * 320 + 17)], 0) << y;
  for (const int y : {5, 194}) EXPECT_NE(assets->intermediate[static_cast<std::size_t>(y * 320 + 17)], 0) << y;
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(step(run, 50, 50.0f + static_cast<float>(i), 2));
  EXPECT_EQ(run.cues().bar_height, 99);
  int black_rows = 0;
  for (int y = 0; y < 200; ++y) {
    const auto line = assets->intermediate.begin() + y * 320;
    black_rows += std::all_of(line, line + 320, [](Rgb565 p) { return p == 0; });
  }
  EXPECT_EQ(black_rows, 198);
}

TEST_F(FinaleTest, ClosingLineRunsFromTheFirstOrder52Frame) {
  load();
  FinaleRun run(*assets);
  const auto blacked = [&](int row) {
    const auto line = assets->intermediate.begin() + row * 320;
    return std::count(line, line + 320, Rgb565{0});
  };
  ASSERT_TRUE(step(run, 51, 90.0f));
  EXPECT_EQ(blacked(99), 0);
  ASSERT_TRUE(step(run, 52, 100.0f));
  EXPECT_TRUE(run.line_closing());
  EXPECT_EQ(blacked(99), 0);  // n = 0 in the first frame
  ASSERT_TRUE(step(run, 53, 110.0f));
  EXPECT_EQ(blacked(99), 2 * 42);
  EXPECT_EQ(blacked(100), 2 * 42);
  EXPECT_EQ(blacked(98), 0);
  ASSERT_TRUE(step(run, 52, 120.0f));  // seen again: the start stays at t = 100
  EXPECT_EQ(blacked(100), 2 * 84);
  ASSERT_TRUE(step(run, 54, 138.2f));  // 38.2 x 4.2 = 160.44: closed
  EXPECT_EQ(blacked(99), 320);
  EXPECT_EQ(blacked(100), 320);
}

TEST_F(FinaleTest, OverlayShowsForSevenTicksAfterEveryCommand) {
  load();
  FinaleRun run(*assets);
  ASSERT_TRUE(step(run, 60, 100.0f, 99));  // not a beat yet: the strip shows but does not scroll
  EXPECT_EQ(run.cues().overlay_scroll, 0);
  EXPECT_EQ(run.last_event_time(), 100.0f);
  EXPECT_EQ(frame[71], kOverlayColour);
  ASSERT_TRUE(step(run, 60, 106.9f));
  EXPECT_EQ(frame[71], kOverlayColour);
  ASSERT_TRUE(step(run, 60, 107.0f));
  EXPECT_NE(frame[71], kOverlayColour);
}

TEST_F(FinaleTest, RunEndsOnCommand255WithoutDrawingThatFrame) {
  load();
  testing::SongHarness song;
  std::fill(song.frame.begin(), song.frame.end(), 0x4321);
  song_event().raise(162);  // left pending by the part before
  const std::vector<SongStep> script = {
      {55, 1000, std::nullopt}, {55, 1100, 2}, {56, 1200, 255}, {56, 1300, std::nullopt}};
  ASSERT_TRUE(song.play(part, script, 1000));
  ASSERT_EQ(song.presented.size(), 2u);
  EXPECT_EQ(song.frame, song.presented.back());
  EXPECT_FALSE(song_event().pending());
  // The pending command was taken by the first frame: texture 3 in both frames.
  EXPECT_EQ(assets->intermediate[500], shade(2, 12, assets->colour[500]));

  std::fill(song.frame.begin(), song.frame.end(), 0x4321);
  ASSERT_TRUE(song.play(part, {{60, 0, 255}}));
  EXPECT_TRUE(song.presented.empty());
  EXPECT_TRUE(std::all_of(song.frame.begin(), song.frame.end(), [](Rgb565 p) { return p == 0x4321; }));
}

}  // namespace
}  // namespace morvane
