// The finale's tables and per-frame kernels: angle, depth, distance and ripple entries worked
// out apart, the moving offsets and their wrap-around, the wave page and the ripple windows, the
// level limit and the overlay window. (Bars and closing line: in the frame-loop tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "demo_parts/finale/finale_compose.h"
#include "demo_parts/finale/finale_tables.h"
#include "demo_parts/finale/interference.h"
#include "demo_parts/finale/mapped_layer.h"

namespace morvane {
namespace {

std::vector<std::uint16_t> pixel_table(void (*build)(PixelTableView)) {
  std::vector<std::uint16_t> table(kFramePixels);
  build(PixelTableView(table.data(), kFramePixels));
  return table;
}

std::uint16_t at(const std::vector<std::uint16_t>& table, int x, int y) {
  return table[static_cast<std::size_t>(y * kFrameWidth + x)];
}

TEST(FinaleTables, TunnelAndPolarEntriesMatchValuesWorkedOutApart) {
  const auto tunnel = pixel_table(build_tunnel_table);
  const auto polar = pixel_table(build_polar_table);
  struct Expected {
    int x, y;
    std::uint16_t tunnel, polar;
  };
  const Expected cases[] = {
      {160, 100, 0x001F, 0x001F},  // centre: angle of (1, 1) lands one step short of 32, depth 0
      {159, 99, 0x0C00, 0x0100},   // atan2(0, 0) is 0; 4000 / sqrt 2 = 2828 keeps its low byte 12
      {161, 100, 0xA02D, 0x012D},  // 4000 at distance 1 wraps to 160
      {0, 0, 0x15AA, 0xBCAA},      // negative angle -86 wraps to 170
      {319, 199, 0x1529, 0xBB29},  {100, 50, 0x33A4, 0x4EA4}, {160, 0, 0x287F, 0x647F},
      {0, 100, 0x19C1, 0xA0C1},    {170, 107, 0x4726, 0x0C26},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(at(tunnel, c.x, c.y), c.tunnel) << c.x << "," << c.y;
    EXPECT_EQ(at(polar, c.x, c.y), c.polar) << c.x << "," << c.y;
  }
}

TEST(FinaleTables, RippleEntriesAndTheirSumsStayInsideOnePage) {
  std::vector<std::uint16_t> ripple(kRippleEntries);
  build_ripple_table(RippleTableView(ripple.data(), kRippleEntries));
  const auto entry = [&](int v, int m) { return ripple[static_cast<std::size_t>(v * kRippleWidth + m)]; };
  EXPECT_EQ(entry(200, 320), 64 << 8);          // the middle: distance 0, wave sin 0
  EXPECT_EQ(entry(0, 0), 54 << 8 | 127);        // 188.68 half-pixels: past the wave's half turn
  EXPECT_EQ(entry(399, 639), 55 << 8 | 126);    // half-pixel steps: 99.5, 159.5 from the middle
  EXPECT_EQ(entry(200, 500), 127 << 8 | 60);    // distance 90: the wave's top
  EXPECT_EQ(entry(100, 320), 112 << 8 | 33);
  int low = 0, high = 0;
  for (const std::uint16_t e : ripple) {
    low = std::max(low, e & 0xFF);
    high = std::max(high, e >> 8);
  }
  // Two entries add up without a carry from the low byte and below 65536.
  EXPECT_EQ(low, 127);
  EXPECT_EQ(high, 127);
}

TEST(FinaleTables, OverlayKeepsTheTopBitsOfEachComponent) {
  std::vector<std::uint8_t> source(kOverlayPixels, 1);
  source[0] = 0;
  source[1] = 2;
  std::vector<std::uint8_t> palette(kFinalePaletteBytes, 0);
  const std::uint8_t colours[] = {0, 0, 0, 255, 255, 255, 15, 7, 200};
  std::copy(std::begin(colours), std::end(colours), palette.begin());
  std::vector<Rgb565> overlay(kOverlayPixels, 0x1234);
  convert_overlay(std::span<const std::uint8_t, kOverlayPixels>(source.data(), kOverlayPixels),
                  std::span<const std::uint8_t, kFinalePaletteBytes>(palette.data(), kFinalePaletteBytes),
                  std::span<Rgb565, kOverlayPixels>(overlay.data(), kOverlayPixels));
  EXPECT_EQ(overlay[0], 0);  // the transparent colour
  EXPECT_EQ(overlay[1], (1 << 11) | (1 << 5) | 25);
  EXPECT_EQ(overlay[2], 0xFFFF);
  EXPECT_EQ(overlay[kOverlayPixels - 1], 0xFFFF);
}

TEST(FinaleLayers, OffsetsMoveWithTheTicksAndWrapAt65536) {
  EXPECT_EQ(colour_offset(0.0f), 0);
  EXPECT_EQ(colour_offset(4.99f), 768 * 4);      // one column every 5 ticks
  EXPECT_EQ(colour_offset(5.0f), 768 * 5 + 1);
  EXPECT_EQ(colour_offset(100.7f), 11284);       // 76820 wraps
  EXPECT_EQ(colour_offset(86.0f), 529);          // 66065 wraps
  EXPECT_EQ(light_tunnel_offset(0.0f), 65535);   // runs backwards from the page's end
  EXPECT_EQ(light_tunnel_offset(100.7f), 65535 - 11284);
  EXPECT_EQ(light_rings_offset(0.0f), 65535);
  EXPECT_EQ(light_rings_offset(100.7f), 65535 - 36914);  // 1024 x 100 + 50 wraps
  for (const float t : {-1.0f, -1e9f, 3e9f, 1e30f}) {
    for (const int offset : {colour_offset(t), light_tunnel_offset(t), light_rings_offset(t)}) {
      EXPECT_GE(offset, 0) << t;
      EXPECT_LE(offset, 65535) << t;
    }
  }
}

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

TEST(FinaleInterference, FrequencyFollowsTheSinglePrecisionFormula) {
  EXPECT_EQ(interference_k(0.0f, 0.0f), 0.75f);  // (2 x 0 + 0.5) x 1 x 1.5
  EXPECT_NEAR(interference_k(100.0f, 100.0f * 0.0026785714f), 2.2048571f, 2e-6f);
  EXPECT_NEAR(interference_k(333.5f, 333.5f * 0.0026785714f), -0.7442109f, 2e-6f);
}

TEST(FinaleInterference, WavePageRowsStartAtWobbledTextureRows) {
  std::vector<std::uint8_t> texture(kDoubledTextureBytes);
  // Residues mod 251 tell apart every start within a row's reach (1..127 past 256 r).
  for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>((i % 65536) % 251);
  std::vector<std::uint8_t> page(kWavePageBytes);
  struct Case {
    float k, t;
    std::vector<std::pair<int, int>> starts;  // row, texture index of its first byte
  };
  const Case cases[] = {
      {0.75f, 0.0f, {{0, 64}, {1, 320}, {64, 16494}, {100, 25703}, {128, 32832}, {200, 51233}, {255, 65344}}},
      {2.2048571f, 100.0f, {{0, 64}, {1, 318}, {64, 16501}, {100, 25691}, {128, 32832}, {200, 51266}, {255, 65342}}},
  };
  for (const auto& c : cases) {
    build_wave_page(DoubledTextureView(texture.data(), kDoubledTextureBytes), c.k, c.t,
                    WavePageView(page.data(), kWavePageBytes));
    for (const auto& [row, start] : c.starts) {
      for (int j = 0; j < 256; j += 51) {
        ASSERT_EQ(page[static_cast<std::size_t>(row * 256 + j)], ((start + j) % 65536) % 251) << c.t << " row " << row;
      }
    }
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

TEST(FinaleInterference, ColourIsThePageByteAtTheSumOfBothWindows) {
  std::vector<std::uint16_t> ripple(kRippleEntries);
  build_ripple_table(RippleTableView(ripple.data(), kRippleEntries));
  std::vector<std::uint8_t> page(kWavePageBytes);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i % 253);
  std::vector<std::uint8_t> colour(kFramePixels);
  const RippleWindows windows{1, 160, 100, 1};
  draw_interference(std::span<const std::uint16_t, kRippleEntries>(ripple.data(), kRippleEntries), windows,
                    std::span<const std::uint8_t, kWavePageBytes>(page.data(), kWavePageBytes),
                    LayerView(colour.data(), kFramePixels));
  for (int y = 0; y < kFrameHeight; y += 13) {
    for (int x = 0; x < kFrameWidth; x += 11) {
      const int a = ripple[static_cast<std::size_t>((1 + y) * kRippleWidth + 160 + x)];
      const int b = ripple[static_cast<std::size_t>((100 + y) * kRippleWidth + 1 + x)];
      ASSERT_EQ(colour[static_cast<std::size_t>(y * kFrameWidth + x)], (a + b) % 253) << x << "," << y;
    }
  }
  // The window B at row 100, column 1 puts the ripple's middle (row 200, column 320) at pixel
  // (319, 100): distance 0, wave 64.
  const int a = ripple[static_cast<std::size_t>(101 * kRippleWidth + 160 + 319)];
  EXPECT_EQ(colour[100 * kFrameWidth + 319], (a + (64 << 8)) % 253);
}

class FinaleCompose : public ::testing::Test {
 protected:
  FrameView frame() { return FrameView(pixels.data(), kFramePixels); }
  std::vector<Rgb565> pixels = std::vector<Rgb565>(kFramePixels, 0x1111);
};

TEST_F(FinaleCompose, CombineReadsLevelFlashPlusLightAndStopsAtTheLastLevel) {
  std::vector<Rgb565> shade(kFinaleShadeEntries);
  for (std::size_t i = 0; i < shade.size(); ++i) shade[i] = static_cast<Rgb565>(i);
  std::vector<std::uint8_t> light(kFramePixels, 0), colour(kFramePixels, 7);
  light[1] = 60;
  light[2] = 113;
  light[3] = 114;
  light[4] = 255;
  combine_layers(FinaleShadeView(shade.data(), kFinaleShadeEntries), 14, ConstLayerView(light.data(), kFramePixels),
                 ConstLayerView(colour.data(), kFramePixels), frame());
  EXPECT_EQ(pixels[0], 14 * 256 + 7);
  EXPECT_EQ(pixels[1], 74 * 256 + 7);
  EXPECT_EQ(pixels[2], 127 * 256 + 7);
  EXPECT_EQ(pixels[3], 127 * 256 + 7);  // 128 and above read the last (white) level
  EXPECT_EQ(pixels[4], 127 * 256 + 7);
}

TEST_F(FinaleCompose, OverlayWindowStartsAtTheScrollAndSkipsZeros) {
  std::vector<Rgb565> overlay(kOverlayPixels);
  for (std::size_t i = 0; i < overlay.size(); ++i) overlay[i] = static_cast<Rgb565>(i % 3 == 0 ? 0 : 0x8000 | i / 180);
  const std::span<const Rgb565, kOverlayPixels> view(overlay.data(), kOverlayPixels);
  draw_overlay(view, 540, frame());  // from overlay row 3
  EXPECT_EQ(pixels[69], 0x1111);
  EXPECT_EQ(pixels[70], 0x1111);  // overlay pixel 540 is 0: left out
  EXPECT_EQ(pixels[71], 0x8003);
  EXPECT_EQ(pixels[199 * 320 + 70 + 179], 0x8000 | 202);
  EXPECT_EQ(pixels[250], 0x1111);
  // A start past the last whole window shows the strip's last 200 rows.
  draw_overlay(view, kOverlayPixels, frame());
  EXPECT_EQ(pixels[199 * 320 + 70 + 178], 0x8000 | 479);
  EXPECT_EQ(pixels[71], 0x8000 | 280);
}

}  // namespace
}  // namespace morvane
