// The textured tunnel: its map, texture offset, scroll and row sampling, the shade levels the
// picture selects, its load, and its frame loop against a scripted song.
#include <gtest/gtest.h>

#include <algorithm>

#include "demo_parts/tunnel/tunnel_part.h"
#include "core/song_event.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

using testing::MemoryPictures;
using testing::rgb565;
using testing::uniform;

TEST(TunnelMap, MatchesValuesWorkedOutApart) {
  std::vector<std::uint8_t> map(kTunnelMapBytes);
  build_tunnel_map(TunnelMapView(map.data(), kTunnelMapBytes));
  struct Expected {
    int x, y, angle, distance;
  };
  // Negative results keep their low byte: -86 -> 170, -2 -> 254.
  const Expected cases[] = {{0, 0, 170, 192},    {160, 100, 32, 254}, {159, 99, 0, 255}, {319, 199, 42, 190},
                            {100, 50, 164, 76},  {200, 150, 27, 61},  {159, 0, 127, 104}};
  for (const auto& c : cases) {
    const std::size_t at = static_cast<std::size_t>(2 * (c.y * 320 + c.x));
    EXPECT_EQ(map[at], c.angle) << c.x << "," << c.y;
    EXPECT_EQ(map[at + 1], c.distance) << c.x << "," << c.y;
  }
}

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

TEST(TunnelRows, SpansMagnifyTowardsTopAndBottomAndStayInTheRow) {
  EXPECT_EQ(tunnel_shading_span(100).start, 0);
  EXPECT_EQ(tunnel_shading_span(100).step, 65741);
  EXPECT_EQ(tunnel_shading_span(0).start, 4096000);  // column 62.5
  EXPECT_EQ(tunnel_shading_span(0).step, 40061);
  EXPECT_EQ(tunnel_shading_span(199).start, 4014489);  // column 61.256...
  EXPECT_EQ(tunnel_shading_span(199).step, 40572);
  for (int y = 0; y < 200; ++y) {
    const ShadingSpan span = tunnel_shading_span(y);
    EXPECT_GE(span.start, 0) << y;
    EXPECT_LE((span.start + 319 * span.step) >> 16, 319) << y;
  }
  EXPECT_EQ((tunnel_shading_span(100).start + 319 * tunnel_shading_span(100).step) >> 16, 319);
}

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

TEST_F(TunnelTest, LoadReadsBothPicturesDoublesTheTextureAndBuildsTheMap) {
  load();
  ASSERT_EQ(pictures.requests.size(), 2u);
  EXPECT_EQ(pictures.requests[0].name + std::to_string(pictures.requests[0].pixel_count), "shades.pcx320000");
  EXPECT_FALSE(pictures.requests[0].palette);
  EXPECT_EQ(pictures.requests[1].name + std::to_string(pictures.requests[1].pixel_count), "wogtex2.pcx65536");
  EXPECT_TRUE(pictures.requests[1].palette);
  const auto texture = part.assets().texture;
  EXPECT_TRUE(std::equal(texture.begin(), texture.begin() + 65536, texture.begin() + 65536));
  EXPECT_EQ(texture[65536 + 300], 1);
  std::vector<std::uint8_t> map(kTunnelMapBytes);
  build_tunnel_map(TunnelMapView(map.data(), kTunnelMapBytes));
  EXPECT_TRUE(std::equal(map.begin(), map.end(), part.assets().map.begin()));
  EXPECT_EQ(part.assets().shading[320000], 0);
}

TEST_F(TunnelTest, TexelsFollowTheMapAndTheOffsetThroughTheDoubledTexture) {
  load();
  TunnelRun run(part.assets());
  const auto map = part.assets().map;
  frame(run, 0.0f);  // offset 0: the texture row is the distance
  for (int i = 0; i < kFramePixels; i += 97) ASSERT_EQ(texel(i), map[static_cast<std::size_t>(2 * i + 1)]) << i;
  frame(run, 5000.0f);  // offset 45375: many lookups run into the second copy
  for (int i = 0; i < kFramePixels; i += 97) {
    const int index = 45375 + map[static_cast<std::size_t>(2 * i)] + 256 * map[static_cast<std::size_t>(2 * i + 1)];
    ASSERT_EQ(texel(i), (index >> 8) & 255) << i;
  }
}

TEST_F(TunnelTest, ShadeValueSelectsLevelValuePlus8) {
  for (int value : {24, 0, 55, 200}) {
    set_shading(uniform(320000, static_cast<std::uint8_t>(value)));
    TunnelPart fresh;
    fresh.load_from(pictures);
    TunnelRun run(fresh.assets());
    run.draw_frame(700.0f, std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels));
    const int level = std::min(value, 55) + 8;  // above 55 is limited to 55
    for (int i = 0; i < kFramePixels; i += 101) {
      const int c = fresh.assets().texels[static_cast<std::size_t>(i)];
      ASSERT_EQ(pixels[static_cast<std::size_t>(i)], fresh.assets().shade[static_cast<std::size_t>(level * 256 + c)])
          << value << " " << i;
      if (value == 24) {
        ASSERT_EQ(pixels[static_cast<std::size_t>(i)], rgb565(palette_[3 * c], palette_[3 * c + 1], palette_[3 * c + 2]));
      }
    }
  }
}

TEST_F(TunnelTest, ShadingScrollsHalfARowPerTickAndRestartsAfter1602Ticks) {
  std::vector<std::uint8_t> shading(320000);
  for (std::size_t i = 0; i < shading.size(); ++i) shading[i] = static_cast<std::uint8_t>((i / 320) % 24);
  set_shading(shading);
  load();
  TunnelRun run(part.assets());
  for (const auto& [t, scroll] : {std::pair{0.0f, 0}, {1600.0f, 800}, {1602.0f, 0}, {21.0f, 10}}) {
    frame(run, t);
    for (int y = 0; y < 200; ++y) {
      const int i = y * 320 + 160;
      ASSERT_EQ(pixels[static_cast<std::size_t>(i)], shade((scroll + y) % 24 + 8, texel(i))) << t << " " << y;
    }
  }
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
