// Scene 7: table and window bounds, reads through the doubled texture, command values the short
// show never sends, the load's failure and the stand-in data file, and the end on command 255.
#include <gtest/gtest.h>


#include "core/song_event.h"
#include "demo_parts/finale/finale_part.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::palette_of;
using testing::SongStep;

std::vector<std::uint8_t> pattern(std::size_t size, int modulus, int scale = 1) {
  std::vector<std::uint8_t> out(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(static_cast<int>(i / scale) % modulus);
  return out;
}

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

  MemoryPictures pictures;
  FinalePart part;
  std::optional<FinaleAssets> assets;
  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels, 0x4208);
};

TEST(FinaleLayers, MappedLayerReadsThroughTheDoubledTextureWithoutWrapping) {
  std::vector<std::uint8_t> texture(kDoubledTextureBytes);
  for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>((i % 65536) % 251);
  std::vector<std::uint16_t> table(kFramePixels);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint16_t>(i * 40503u);
  table[0] = 65535;
  std::vector<std::uint8_t> layer(kFramePixels);
  for (const int offset : {0, 65535, 12345}) {
    draw_mapped_layer(DoubledTextureView(texture.data(), kDoubledTextureBytes), offset,
                      std::span<const std::uint16_t, kFramePixels>(table.data(), kFramePixels),
                      LayerView(layer.data(), kFramePixels));
    for (std::size_t i = 0; i < layer.size(); i += 7) {
      ASSERT_EQ(layer[i], ((offset + table[i]) % 65536) % 251) << offset << " " << i;
    }
    EXPECT_EQ(layer[0], ((offset + 65535) % 65536) % 251);
  }
}

TEST(FinaleInterference, WindowsStayInsideTheRippleTable) {
  const RippleWindows start = ripple_windows(0.0f);
  EXPECT_EQ(start.a_row, 1);
  EXPECT_EQ(start.a_column, 160);
  EXPECT_EQ(start.b_row, 100);
  EXPECT_EQ(start.b_column, 1);
  const RippleWindows later = ripple_windows(100.0f);
  EXPECT_EQ(later.a_row, 72);
  EXPECT_EQ(later.a_column, 3);
  EXPECT_EQ(later.b_row, 2);
  EXPECT_EQ(later.b_column, 167);
  for (float t = 0.0f; t < 30000.0f; t += 7.25f) {
    const RippleWindows w = ripple_windows(t);
    for (const int row : {w.a_row, w.b_row}) ASSERT_TRUE(row >= 0 && row <= 200) << t;
    for (const int column : {w.a_column, w.b_column}) ASSERT_TRUE(column >= 0 && column <= 320) << t;
  }
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
  const FinaleAssets assets = part.assets();
  // The stand-in light pictures keep to levels 0..63, well inside the 128-level tables.
  EXPECT_LE(*std::max_element(assets.light_picture.begin(), assets.light_picture.end()), 63);
  EXPECT_TRUE(std::any_of(assets.overlay.begin(), assets.overlay.end(), [](Rgb565 p) { return p != 0; }));
  part.teardown();
  EXPECT_FALSE(part.loaded());
  EXPECT_THROW(part.assets(), std::logic_error);
  part.teardown();  // a second teardown does nothing
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
  EXPECT_EQ(assets->intermediate[500], assets->shades[2][static_cast<std::size_t>(12 * 256 + assets->colour[500])]);

  std::fill(song.frame.begin(), song.frame.end(), 0x4321);
  ASSERT_TRUE(song.play(part, {{60, 0, 255}}));
  EXPECT_TRUE(song.presented.empty());
  EXPECT_TRUE(std::all_of(song.frame.begin(), song.frame.end(), [](Rgb565 p) { return p == 0x4321; }));
}

}  // namespace
}  // namespace morvane
