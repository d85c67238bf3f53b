// Value pictures, palettes and the review sheet.
#include <gtest/gtest.h>

#include <set>

#include "tools/standin/contact_sheet.h"
#include "tools/standin/filters.h"
#include "tools/standin/gradient.h"
#include "tools/standin/preview.h"
#include "tools/standin/quantizer.h"

namespace morvane::standin {
namespace {

TEST(ValuePictures, RoundAndClampIntoTheirRangeWithAGreyPalette) {
  ValueMap m(4, 2);
  m.cells() = {-3.0f, 0.4f, 0.6f, 62.5f, 63.0f, 70.0f, 31.49f, 1e9f};
  const IndexedImage img = to_value_picture(m, 63);
  EXPECT_EQ(img.pixels, (std::vector<std::uint8_t>{0, 0, 1, 63, 63, 63, 31, 63}));
  EXPECT_EQ(img.palette[0], 0);
  EXPECT_EQ(img.palette[63 * 3], 255);
  EXPECT_EQ(img.palette[200 * 3 + 2], 255);
  for (int i = 1; i < 64; ++i) EXPECT_GT(img.palette[i * 3], img.palette[(i - 1) * 3]);
}

TEST(Blur, KeepsLevelsAndWrapsTilesAroundTheirEdges) {
  ValueMap flat(16, 8, 5.0f);
  const ValueMap blurred = blur(flat, 3);
  for (float v : blurred.cells()) EXPECT_NEAR(v, 5.0f, 1e-4f);
  ValueMap dot(16, 16, 0.0f);
  dot.at(0, 0) = 100.0f;
  const ValueMap wrapped = blur(dot, 1, true);
  EXPECT_GT(wrapped.at(15, 15), 0.0f);  // spread across the corner of the tile
  EXPECT_FLOAT_EQ(wrapped.at(15, 15), wrapped.at(1, 1));
  const ValueMap clamped = blur(dot, 1, false);
  EXPECT_NEAR(clamped.at(15, 15), 0.0f, 1e-4f);
  float total = 0.0f;
  for (float v : wrapped.cells()) total += v;
  EXPECT_NEAR(total, 100.0f, 1e-3f);  // a wrapped blur loses nothing
}

TEST(Palettes, RampsFillOnlyTheirEntriesAndMappingStaysInsideItsRange) {
  IndexedImage img(8, 8);
  img.palette.fill(7);
  put_ramp(img.palette, 16, 16, Gradient{{0.0f, rgb8(0, 0, 0)}, {1.0f, rgb8(255, 128, 0)}});
  EXPECT_EQ(img.palette[15 * 3], 7);
  EXPECT_EQ(img.palette[32 * 3], 7);
  EXPECT_EQ(img.palette[16 * 3], 0);
  EXPECT_EQ(img.palette[31 * 3], 255);
  EXPECT_EQ(img.palette[31 * 3 + 1], 128);
  RgbImage picture(8, 8);
  fill(picture, [](float x, float) { return Rgb{x / 8, 1.0f, 1.0f}; });  // far from every ramp colour
  map_to_palette(picture, img, 16, 16, 0.5f);
  for (std::uint8_t p : img.pixels) {
    EXPECT_GE(p, 16);
    EXPECT_LT(p, 32);
  }
  EXPECT_THROW(map_to_palette(picture, img, 250, 10, 0.0f), std::invalid_argument);
}

TEST(Quantizer, LeavesTheEntriesBelowItsRangeToTheCaller) {
  RgbImage img(32, 32);
  fill(img, [](float x, float y) { return Rgb{x / 32, y / 32, 0.2f}; });
  const IndexedImage out = quantize(img, {.first_index = 10, .colours = 20});
  std::set<int> used(out.pixels.begin(), out.pixels.end());
  EXPECT_GE(*used.begin(), 10);
  EXPECT_LT(*used.rbegin(), 30);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(out.palette[i], 0);  // entries 0..9 untouched
  EXPECT_THROW(quantize(img, {.first_index = 200, .colours = 100}), std::invalid_argument);
}

TEST(Preview, ShowsValuePicturesInGreyAndOthersThroughTheirPalette) {
  Picture value{"v.pcx", IndexedImage(2, 1), 63};
  value.image.pixels = {0, 63};
  const RgbImage grey = preview_of(value);
  EXPECT_EQ(grey.at(0, 0).r, 0.0f);
  EXPECT_EQ(grey.at(1, 0).g, 1.0f);
  Picture coloured{"c.pcx", IndexedImage(2, 1), 0};
  coloured.image.pixels = {0, 1};
  coloured.image.set_colour(1, 255, 0, 51);
  const RgbImage rgb = preview_of(coloured);
  EXPECT_FLOAT_EQ(rgb.at(1, 0).r, 1.0f);
  EXPECT_FLOAT_EQ(rgb.at(1, 0).b, 0.2f);
}

TEST(ContactSheet, PlacesEveryPictureWhole) {
  std::vector<Entry> entries;
  for (int k = 0; k < 3; ++k) {
    Picture p{"p" + std::to_string(k) + ".pcx", IndexedImage(20, 10 + 5 * k), 0};
    p.image.set_colour(1, 255, 255, 255);
    p.image.pixels.assign(p.image.pixels.size(), 1);
    entries.push_back({p.name, {}, p});
  }
  entries.push_back({"scene.3ds", {1, 2, 3}, std::nullopt});
  const RgbImage sheet = contact_sheet(entries, TdsScene{});
  // Four columns of 330 plus a margin; the four flight frames are 200 rows high.
  EXPECT_EQ(sheet.width(), 4 * 330 + 10);
  EXPECT_GT(sheet.height(), 200);
  std::size_t white = 0;
  for (const Rgb& c : sheet.cells()) white += c.r == 1.0f && c.g == 1.0f && c.b == 1.0f;
  EXPECT_GE(white, static_cast<std::size_t>(20 * 10 + 20 * 15 + 20 * 20));
}

}  // namespace
}  // namespace morvane::standin
