#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/rasterizer.h"

namespace morvane {
namespace {

constexpr Rgb565 kWhite = 0xFFFF;

class Rasterizer : public ::testing::Test {
 protected:
  std::vector<Rgb565> pixels = std::vector<Rgb565>(kFramePixels, 0);
  Face face = [] {
    Face f;
    f.red = f.green = f.blue = 255.0f;
    return f;
  }();

  void fill(float xa, float ya, float xb, float yb, float xc, float yc) {
    TransformedVertex a, b, c;
    a.screen_x = xa, a.screen_y = ya;
    b.screen_x = xb, b.screen_y = yb;
    c.screen_x = xc, c.screen_y = yc;
    fill_triangle(std::span<Rgb565, kFramePixels>(pixels.data(), kFramePixels), face, a, b, c);
  }
  Rgb565 at(int x, int y) const { return pixels[static_cast<std::size_t>(y * kFrameWidth + x)]; }
  // First and one-past-last filled column of a row; {0, 0} when the row is empty.
  std::pair<int, int> row_extent(int y) const {
    int first = -1, last = -1;
    for (int x = 0; x < kFrameWidth; ++x) {
      if (at(x, y) != 0) {
        if (first < 0) first = x;
        last = x;
      }
    }
    if (first < 0) return {0, 0};
    for (int x = first; x <= last; ++x) EXPECT_NE(at(x, y), 0) << "gap in row " << y;
    return {first, last + 1};
  }
  int filled() const {
    int n = 0;
    for (Rgb565 p : pixels) n += p != 0;
    return n;
  }
};

TEST_F(Rasterizer, FaceColourTruncatesPerChannel) {
  EXPECT_EQ(face_colour(face), kWhite);
  Face grey;
  grey.red = grey.green = grey.blue = 128.0f;
  EXPECT_EQ(face_colour(grey), 0x8410);
  Face odd;
  odd.red = 7.99f;    // 0
  odd.green = 7.99f;  // 1
  odd.blue = 16.5f;   // 2
  EXPECT_EQ(face_colour(odd), 0x0022);
  Face wild;  // values no loader makes must still convert without harm
  wild.red = std::numeric_limits<float>::quiet_NaN();
  wild.green = 1e30f;
  wild.blue = -1e30f;
  (void)face_colour(wild);
}

TEST_F(Rasterizer, RejectsTrianglesOffScreenOrFlat) {
  fill(10, 250, 100, 250, 50, 260);
  fill(-1, 10, -50, 100, -0.5f, 50);
  fill(320, 10, 400, 100, 319.5f, 50);
  fill(10, -1, 100, -2, 50, -0.1f);
  fill(10, 50, 100, 50, 200, 50);
  EXPECT_EQ(filled(), 0);
}

TEST_F(Rasterizer, LowerPartOnlyTriangle) {
  // rT = rM = 11: no upper part; the lower part fills rows 11 to 20.
  fill(10.5f, 10.5f, 20.5f, 10.5f, 10.5f, 20.5f);
  EXPECT_EQ(row_extent(10), (std::pair{0, 0}));
  for (int y = 11; y <= 20; ++y) EXPECT_EQ(row_extent(y), (std::pair{10, 31 - y})) << "row " << y;
  EXPECT_EQ(row_extent(21), (std::pair{0, 0}));
  EXPECT_EQ(filled(), 55);
  EXPECT_EQ(at(10, 11), kWhite);
}

TEST_F(Rasterizer, OneRowUpperPartUsesTheVerticesOwnX) {
  // rT = 11, rM = 12: row 11 spans from the top vertex's x to the middle vertex's x.
  fill(10.0f, 10.2f, 30.0f, 11.5f, 10.0f, 40.5f);
  EXPECT_EQ(row_extent(11), (std::pair{10, 30}));
  EXPECT_EQ(row_extent(10), (std::pair{0, 0}));
  EXPECT_EQ(row_extent(12), (std::pair{10, 29}));
  EXPECT_EQ(row_extent(39), (std::pair{10, 11}));
  EXPECT_EQ(row_extent(40), (std::pair{0, 0}));
}

TEST_F(Rasterizer, WholeRowStartsFollowTheEvenOddRule) {
  // Top at an even whole row: the edges start one full step on (s = 1).
  fill(100.0f, 10.0f, 150.0f, 30.0f, 100.0f, 50.0f);
  EXPECT_EQ(row_extent(10), (std::pair{100, 102}));  // 100 + 2.5
  EXPECT_EQ(row_extent(11), (std::pair{100, 105}));
  pixels.assign(kFramePixels, 0);
  // At an odd whole row they start where they are (s = 0): row 11 is empty.
  fill(100.0f, 11.0f, 150.0f, 31.0f, 100.0f, 51.0f);
  EXPECT_EQ(row_extent(11), (std::pair{0, 0}));
  EXPECT_EQ(row_extent(12), (std::pair{100, 102}));
}

TEST_F(Rasterizer, RowZeroAndColumn319AreNeverFilled) {
  fill(-5.0f, -0.5f, 400.0f, -0.5f, -5.0f, 100.5f);
  EXPECT_EQ(row_extent(0), (std::pair{0, 0}));
  EXPECT_EQ(row_extent(1), (std::pair{0, 319}));
  EXPECT_EQ(at(319, 1), 0);

  pixels.assign(kFramePixels, 0);
  fill(-1e6f, -1e6f, 1e6f, -1e6f, 0.0f, 1e6f);  // covers the screen
  EXPECT_EQ(filled(), 199 * 319);
  for (int y = 1; y < 200; ++y) EXPECT_EQ(row_extent(y), (std::pair{0, 319}));
}

TEST_F(Rasterizer, SpansWithOddCountsAndOddStarts) {
  // A narrow sliver: single pixels, odd starts and odd lengths.
  fill(11.0f, 20.5f, 18.0f, 20.5f, 11.0f, 27.5f);
  for (int y = 21; y <= 26; ++y) EXPECT_EQ(row_extent(y), (std::pair{11, 38 - y})) << "row " << y;
  EXPECT_EQ(row_extent(27), (std::pair{0, 0}));
  EXPECT_EQ(at(10, 21), 0);
}

TEST_F(Rasterizer, ExtremeCoordinatesAreSafe) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float cases[][6] = {
      {0, 0, 100, 100, nan, 50},     {nan, nan, nan, nan, nan, nan}, {0, -inf, 100, 100, 50, inf},
      {0, -1e30f, 100, 1e30f, 50, 3}, {-inf, 5, inf, 5, 0, 150},      {1e30f, 10, -1e30f, 20, 0, 190},
      {5, -3e7f, 300, 100, 5, 199},
  };
  for (const auto& c : cases) fill(c[0], c[1], c[2], c[3], c[4], c[5]);
  for (int y = 0; y < kFrameHeight; ++y) EXPECT_EQ(at(319, y), 0);
  EXPECT_EQ(row_extent(0), (std::pair{0, 0}));
}

}  // namespace
}  // namespace morvane
