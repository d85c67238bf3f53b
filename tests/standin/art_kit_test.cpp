// The procedural building blocks: tiling noise, colour reduction, the font, painter's order.
#include <gtest/gtest.h>

#include <set>

#include "tools/standin/font.h"
#include "tools/standin/noise.h"
#include "tools/standin/painter_order.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {
namespace {

TEST(Noise, RepeatsAfterItsPeriodAndStaysInRange) {
  for (float y = 0.1f; y < 8.0f; y += 0.73f)
    for (float x = 0.05f; x < 8.0f; x += 0.61f) {
      EXPECT_NEAR(value_noise(x, y, 8, 4, 7u), value_noise(x + 8.0f, y + 4.0f, 8, 4, 7u), 1e-5f);
      const float f = fbm(x, y, 8, 8, 4, 0.5f, 3u);
      EXPECT_NEAR(f, fbm(x - 8.0f, y + 8.0f, 8, 8, 4, 0.5f, 3u), 1e-5f);
      EXPECT_GE(f, 0.0f);
      EXPECT_LE(f, 1.0f);
      const CellSample a = cellular(x, y, 4, 4, 9u), b = cellular(x + 4.0f, y - 4.0f, 4, 4, 9u);
      EXPECT_NEAR(a.nearest, b.nearest, 1e-4f);
      EXPECT_EQ(a.cell_hash, b.cell_hash);
      EXPECT_LE(a.nearest, a.second);
    }
}

TEST(Quantizer, ReproducesAPictureOfFewColoursExactly) {
  RgbImage img(64, 32);
  const Rgb colours[5] = {rgb8(0, 0, 0), rgb8(255, 0, 0), rgb8(10, 200, 30), rgb8(250, 250, 250), rgb8(30, 40, 200)};
  fill(img, [&](float x, float y) { return colours[(static_cast<int>(x) / 7 + static_cast<int>(y) / 5) % 5]; });
  const IndexedImage out = quantize(img);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      const int i = out.at(x, y);
      const Rgb want = img.at(x, y);
      EXPECT_EQ(out.palette[i * 3], static_cast<int>(want.r * 255 + 0.5f));
      EXPECT_EQ(out.palette[i * 3 + 1], static_cast<int>(want.g * 255 + 0.5f));
      EXPECT_EQ(out.palette[i * 3 + 2], static_cast<int>(want.b * 255 + 0.5f));
    }
}

TEST(Quantizer, KeepsTransparentPixelsOnIndexZeroAndOthersOffIt) {
  RgbImage img(40, 40);
  std::vector<std::uint8_t> clear(1600, 0);
  fill(img, [](float x, float y) { return Rgb{x / 40, y / 40, 0.5f}; });
  for (int i = 0; i < 1600; i += 3) clear[i] = 1;
  const IndexedImage out = quantize(img, {.first_index = 1, .colours = 255, .dither = 0.5f, .transparent = clear});
  for (int i = 0; i < 1600; ++i) EXPECT_EQ(out.pixels[i] == 0, clear[i] == 1) << i;
}

TEST(Quantizer, SpreadsAGradientOverManyColours) {
  RgbImage img(256, 8);
  fill(img, [](float x, float) { return Rgb{x / 256, x / 512, 1 - x / 256}; });
  const IndexedImage out = quantize(img, {.colours = 32});
  std::set<int> used(out.pixels.begin(), out.pixels.end());
  EXPECT_GE(used.size(), 24u);
  EXPECT_LE(*used.rbegin(), 31);
}

TEST(Font, CoversStrokesAndLeavesGaps) {
  const TextLayout layout("I-");
  EXPECT_FLOAT_EQ(layout.width_cells(), 11.0f);
  // "I": the stem is the middle column (2) of rows 1..5; columns 0 and 4 are empty there.
  EXPECT_FLOAT_EQ(layout.coverage(24.0f, 34.0f, 0, 0, 10.0f), 1.0f);
  EXPECT_FLOAT_EQ(layout.coverage(4.0f, 34.0f, 0, 0, 10.0f), 0.0f);
  // "-": row 3, columns 1..3 of the second glyph (cells 7..9).
  EXPECT_FLOAT_EQ(layout.coverage(84.0f, 34.0f, 0, 0, 10.0f), 1.0f);
  EXPECT_FLOAT_EQ(layout.coverage(84.0f, 54.0f, 0, 0, 10.0f), 0.0f);
  // Unknown characters are blanks.
  const ValueMap blank = render_text("\x01", 20, 20, 0, 0, 2.0f);
  for (float v : blank.cells()) EXPECT_EQ(v, 0.0f);
}

TEST(Shapes, SignedDistancesOfTheBasicShapes) {
  EXPECT_FLOAT_EQ(sd_circle({3, 4}, {0, 0}, 2), 3.0f);
  EXPECT_FLOAT_EQ(sd_box({0, 0}, {0, 0}, {2, 1}), -1.0f);
  EXPECT_FLOAT_EQ(sd_capsule({5, 3}, {0, 0}, {10, 0}, 1), 2.0f);
  EXPECT_NEAR(sd_hexagon({0, 10}, {0, 0}, 8), 2.0f, 1e-5f);
  const Vec2 tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  EXPECT_LT(sd_polygon({2, 2}, tri), 0.0f);
  EXPECT_NEAR(sd_polygon({-3, 5}, tri), 3.0f, 1e-5f);
}

TEST(PainterOrder, FollowsConsistentVotesAndMaximisesAgreementInACycle) {
  PainterVotes chain(5);
  const int want[5] = {3, 0, 4, 1, 2};
  for (int a = 0; a < 5; ++a)
    for (int b = a + 1; b < 5; ++b) chain.vote(want[a], want[b], 1.0 + a + b);
  EXPECT_EQ(chain.order(), std::vector<int>(want, want + 5));

  // 0 before 1 (5), 1 before 2 (4), 2 before 0 (1): the best order breaks the weakest vote.
  PainterVotes cycle(3);
  cycle.vote(0, 1, 5);
  cycle.vote(1, 2, 4);
  cycle.vote(2, 0, 1);
  EXPECT_EQ(cycle.order(), (std::vector<int>{0, 1, 2}));
  EXPECT_DOUBLE_EQ(cycle.agreement(cycle.order()), 9.0);
}

}  // namespace
}  // namespace morvane::standin
