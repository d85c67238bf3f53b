// Scene 5: the clock's wrap-arounds, the shading rows staying inside their picture, and the frame
// loop leaving commands for the next scene.
#include <gtest/gtest.h>


#include "core/song_event.h"
#include "demo_parts/tunnel/tunnel_part.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::uniform;

class TunnelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    // Colour c: red = c's low five bits, green = its top three bits: every index its own pixel.
    std::vector<std::uint8_t> palette(768);
    for (int c = 0; c < 256; ++c) {
      palette[static_cast<std::size_t>(3 * c)] = static_cast<std::uint8_t>((c & 31) << 3);
      palette[static_cast<std::size_t>(3 * c + 1)] = static_cast<std::uint8_t>((c >> 5) << 5);
      palette[static_cast<std::size_t>(3 * c + 2)] = 64;
    }
    palette_ = palette;
    std::vector<std::uint8_t> texture(65536);
    for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>(i >> 8);  // its row
    pictures.pictures["wogtex2.pcx"] = {texture, palette};
    set_shading(uniform(320000, 24));
  }
  void set_shading(std::vector<std::uint8_t> shading) { pictures.pictures["shades.pcx"] = {std::move(shading), {}}; }
  void load() { part.load_from(pictures); }
  void frame(TunnelRun& run, float t) { run.draw_frame(t, std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels)); }
  std::uint8_t texel(int i) const { return part.assets().texels[static_cast<std::size_t>(i)]; }
  Rgb565 shade(int level, int colour) const { return part.assets().shade[static_cast<std::size_t>(level * 256 + colour)]; }
  MemoryPictures pictures;
  TunnelPart part;
  std::vector<std::uint8_t> palette_;
  std::vector<Rgb565> pixels = std::vector<Rgb565>(kFramePixels);
};

TEST(TunnelClock, TextureOffsetStartsAtZeroAndKeeps16Bits) {
  EXPECT_EQ(tunnel_texture_offset(0.0f), 0);  // A = 7936: its multiple of 256 vanishes
  EXPECT_EQ(tunnel_texture_offset(100.0f), 63785);
  EXPECT_EQ(tunnel_texture_offset(1000.5f), 41295);
  EXPECT_EQ(tunnel_texture_offset(5000.0f), 45375);
}

TEST(TunnelClock, ScrollRestartsAfterRow800) {
  EXPECT_EQ(tunnel_scroll(0.0f), 0);
  EXPECT_EQ(tunnel_scroll(3.9f), 1);
  EXPECT_EQ(tunnel_scroll(1601.0f), 800);
  EXPECT_EQ(tunnel_scroll(1601.9f), 800);
  EXPECT_EQ(tunnel_scroll(1602.0f), 0);  // would be 801
  EXPECT_EQ(tunnel_scroll(3000.0f), 0);
  EXPECT_EQ(tunnel_scroll(-10.0f), 0);
  // A run beyond 65536 rows counts in 16 bits and stays inside the picture.
  EXPECT_EQ(tunnel_scroll(131072.0f + 10.0f), 5);
}

TEST_F(TunnelTest, RunDrawsTheOrder31FrameAndLeavesCommandsForTheNextPart) {
  load();
  testing::SongHarness song;
  const std::vector<testing::SongStep> script = {
      {29, 100, std::nullopt}, {30, 200, 42}, {31, 300, std::nullopt}, {32, 400, std::nullopt}};
  ASSERT_TRUE(song.play(part, script, 100));
  EXPECT_EQ(song.presented.size(), 3u);
  EXPECT_EQ(song.presented.back(), song.frame);
  EXPECT_EQ(song_event().take(), std::optional<std::uint8_t>(42));
}

}  // namespace
}  // namespace morvane
