// The textured frame: the triangle rule's rows, sorting, flat edges, texture steps and the
// signed texture column, and the whole frame's ring.
#include <gtest/gtest.h>

#include <vector>

#include "demo_parts/lightmap_primitives/textured_frame.h"

namespace morvane {
namespace {

constexpr std::uint8_t kUntouched = 0xEE;

class FrameTriangleTest : public ::testing::Test {
 protected:
  // Texel (u, v) holds v: the texture row a lookup came from.
  FrameTriangleTest() : texture(kFrameTextureBytes), light(kFramePixels, kUntouched) {
    for (std::size_t i = 0; i < texture.size(); ++i) texture[i] = static_cast<std::uint8_t>(i >> 8);
  }
  void draw(FrameVertex p, FrameVertex q, FrameVertex r) { draw_refs(p, q, r); }
  void draw_refs(FrameVertex& p, FrameVertex& q, FrameVertex& r) {
    draw_frame_triangle(p, q, r, LightView(light.data(), light.size()), FrameTextureView(texture.data(), texture.size()));
  }
  std::uint8_t at(int x, int y) const { return light[static_cast<std::size_t>(y * 320 + x)]; }
  // First and last written column of a light row, or {-1, -1}.
  std::pair<int, int> span(int y) const {
    int first = -1, last = -1;
    for (int x = 0; x < 320; ++x) {
      if (at(x, y) == kUntouched) continue;
      if (first < 0) first = x;
      last = x;
    }
    return {first, last};
  }

  std::vector<std::uint8_t> texture;
  std::vector<std::uint8_t> light;
};

TEST_F(FrameTriangleTest, RowsLandOneAboveAndTheShortEdgeKeepsItsRoundingPastTheMiddle) {
  draw({10, 0, 0, 0}, {10, 6, 0, 0}, {30, 3, 0, 0});
  // Walked row 0 is never drawn; rows 1..6 land in light rows 0..5. The short edge's x steps
  // by 20 x (65536 / 3) truncated, so it reaches 29.99 at the middle row, not 30.
  const std::pair<int, int> expected[] = {{10, 16}, {10, 23}, {10, 29}, {10, 23}, {10, 16}, {10, 10}, {-1, -1}};
  for (int row = 0; row < 7; ++row) EXPECT_EQ(span(row), expected[row]) << row;
}

TEST_F(FrameTriangleTest, WalkedRow200DrawsTheLastRowAndTheWalkStopsThere) {
  draw({10, 196, 0, 0}, {20, 198, 0, 0}, {10, 260, 0, 0});
  EXPECT_EQ(span(194).first, -1);
  EXPECT_NE(span(195).first, -1);
  EXPECT_NE(span(199).first, -1);
}

TEST_F(FrameTriangleTest, FlatEdgesGrowByOneRowAndTheMoveStaysInTheVertices) {
  FrameVertex p{10, 5, 0, 0}, q{30, 5, 0, 0}, r{20, 15, 0, 0};
  draw_refs(p, q, r);
  EXPECT_EQ(p.y, 4);  // the top of the flat top edge moved up
  EXPECT_EQ(q.y, 5);
  EXPECT_EQ(r.y, 15);
  EXPECT_EQ(span(3), std::make_pair(10, 10));  // walked row 4: both walkers still at the top

  FrameVertex a{10, 5, 0, 0}, b{20, 15, 0, 0}, c{30, 15, 0, 0};
  draw_refs(a, b, c);
  EXPECT_EQ(a.y, 5);
  EXPECT_EQ(b.y, 16);  // the bottom of the flat bottom edge moved down
  EXPECT_EQ(c.y, 15);

  FrameVertex d{40, 50, 0, 0}, e{60, 50, 0, 0}, f{50, 50, 0, 0};
  draw_refs(d, e, f);
  EXPECT_EQ(d.y, 49);
  EXPECT_EQ(e.y, 51);
  EXPECT_EQ(f.y, 50);
}

TEST_F(FrameTriangleTest, TextureColumnsFrom128OnComeFromTheRowAbove) {
  draw({0, 10, 100, 5}, {0, 20, 100, 5}, {50, 15, 100, 5});
  EXPECT_EQ(at(5, 14), 5);
  draw({100, 10, 200, 5}, {100, 20, 200, 5}, {150, 15, 200, 5});
  EXPECT_EQ(at(105, 14), 4);
  draw({200, 10, 200, 0}, {200, 20, 200, 0}, {250, 15, 200, 0});
  EXPECT_EQ(at(205, 14), 255);  // above row 0 is row 255
}

TEST_F(FrameTriangleTest, TextureStepsAcrossASpanFollowTheEdgeDifferences) {
  for (std::size_t u = 0; u < 256; ++u) texture[u] = static_cast<std::uint8_t>(u);  // row 0: its column
  // Long edge straight down at x = 0 with u = 0; the short edges reach u = 100 at x = 100.
  // e = -655300 >> 10 = -640, du = (-655300 x 64) / -640 = 65530: just under a texel a column.
  draw({0, 10, 0, 0}, {100, 20, 100, 0}, {0, 30, 0, 0});
  EXPECT_EQ(span(19), std::make_pair(0, 99));
  EXPECT_EQ(at(0, 19), 0);
  EXPECT_EQ(at(1, 19), 0);
  for (int x = 2; x < 100; ++x) ASSERT_EQ(at(x, 19), x - 1) << x;
}

TEST_F(FrameTriangleTest, NearlyParallelEdgesTakeTheFixedTextureStep) {
  // T->M steps 65530 in x per row, T->B 65531: e = 1 >> 10 = 0, so the per-pixel steps are the
  // fixed 11 rather than a division by zero.
  draw({50, 10, 0, 0}, {60, 20, 0, 0}, {69, 29, 200, 0});
  for (int row = 9; row < 29; ++row) EXPECT_NE(span(row).first, -1) << row;
  EXPECT_EQ(span(29).first, -1);
}

TEST_F(FrameTriangleTest, TrianglesOffEitherSideOrOffTheRowsDrawNothing) {
  FrameVertex p{-5, 10, 0, 0}, q{-1, 10, 0, 0}, r{-3, 20, 0, 0};
  draw_refs(p, q, r);
  EXPECT_EQ(p.y, 10);  // skipped before any vertex moved
  draw({320, 10, 0, 0}, {400, 10, 0, 0}, {330, 20, 0, 0});
  draw({10, 200, 0, 0}, {20, 210, 0, 0}, {30, 220, 0, 0});
  draw({10, -30, 0, 0}, {20, -20, 0, 0}, {30, -1, 0, 0});
  for (std::uint8_t b : light) ASSERT_EQ(b, kUntouched);
  // Wide and tall spans are clipped to the light map.
  draw({-3000, -3000, 0, 0}, {3000, -2000, 0, 0}, {0, 4000, 0, 0});
  EXPECT_NE(at(0, 0), kUntouched);
  EXPECT_NE(at(319, 199), kUntouched);
}

TEST(TexturedFrame, RingAroundAHoleAndNothingAtFullZoom) {
  std::vector<std::uint8_t> texture(kFrameTextureBytes, 7);
  std::vector<std::uint8_t> light(kFramePixels, 0);
  draw_textured_frame(1.0f, 30.0f, LightView(light.data(), light.size()), FrameTextureView(texture.data(), texture.size()));
  for (std::uint8_t b : light) ASSERT_EQ(b, 0);

  // Zoom 0.5, angle 0: scale 1.3 about (160, 120); the outer square 832 pixels wide, the hole
  // 312 x 195 around the centre. The heights come out a hair short of whole numbers.
  const FrameVertices v = transform_frame_vertices(0.5f, 0.0f);
  EXPECT_EQ(v[0].x, -256);
  EXPECT_EQ(v[0].y, -139);
  EXPECT_EQ(v[4].x, 4);
  EXPECT_EQ(v[4].y, 22);
  EXPECT_EQ(v[11].x, 576);
  EXPECT_EQ(v[11].y, 379);
  // Turned by 47 degrees at zoom 0.3, the centre swung to the right and down.
  const FrameVertices turned = transform_frame_vertices(0.3f, 47.0f);
  EXPECT_EQ(turned[1].x, 408);
  EXPECT_EQ(turned[1].y, -166);
  EXPECT_EQ(turned[6].x, -73);
  EXPECT_EQ(turned[6].y, 115);
  EXPECT_EQ(turned[10].x, -47);
  EXPECT_EQ(turned[10].y, 407);
  draw_textured_frame(0.5f, 0.0f, LightView(light.data(), light.size()), FrameTextureView(texture.data(), texture.size()));
  EXPECT_EQ(light[120 * 320 + 160], 0);
  EXPECT_EQ(light[120 * 320 + 0], 7);
  EXPECT_EQ(light[10 * 320 + 160], 7);
  EXPECT_EQ(light[199 * 320 + 319], 7);
}

}  // namespace
}  // namespace morvane
