// Glow curves: the spline weights, where the curves run, how the dot is stamped and limited.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "demo_parts/lightmap_primitives/glow_curves.h"

namespace morvane {
namespace {

struct Weights {
  std::array<float, 16> w0{}, w1{}, w2{}, w3{};
  Weights() { build_curve_weights(w0, w1, w2, w3); }
  CurveWeights view() const { return {w0, w1, w2, w3}; }
};

TEST(CurveWeights, PassThroughTheKnotsAndSumToOne) {
  const Weights w;
  EXPECT_EQ(w.w0[0], 0.0f);
  EXPECT_EQ(w.w1[0], 1.0f);
  EXPECT_EQ(w.w2[0], 0.0f);
  EXPECT_EQ(w.w3[0], 0.0f);
  // t = 1/2: -1/16, 9/16, 9/16, -1/16.
  EXPECT_EQ(w.w0[8], -0.0625f);
  EXPECT_EQ(w.w1[8], 0.5625f);
  EXPECT_EQ(w.w2[8], 0.5625f);
  EXPECT_EQ(w.w3[8], -0.0625f);
  // t = 3/4: (-27/64 + 72/64 - 48/64) / 2 and so on.
  EXPECT_EQ(w.w0[12], -3.0f / 128);
  EXPECT_EQ(w.w3[12], -9.0f / 128);
  for (std::size_t k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(w.w0[k] + w.w1[k] + w.w2[k] + w.w3[k], 1.0f) << k;
}

TEST(GlowCurves, SixtyFourStampsPerCurveWithOneAtEveryKnot) {
  const Weights w;
  std::vector<CurvePoint> store(kCurvePointStore);
  std::vector<std::uint8_t> light(kFramePixels);
  std::array<std::uint8_t, 100> dot{};
  dot[0] = 1;  // each stamp marks its corner only
  draw_glow_curves(1.3f, 30, LightView(light.data(), light.size()), dot, w.view(), CurvePointView(store.data(), store.size()));
  // The last three segments run through the copies of the first points that close the curve.
  EXPECT_EQ(std::accumulate(light.begin(), light.end(), 0), 3 * 64);
  // The knots' corners (x - 4.5, y - 4.5 truncated), worked out apart for each curve: with
  // R1 = sin(212°) < 0 the rings are walked mirrored.
  const int corners[][2] = {{126, 82}, {113, 121}, {210, 120}, {123, 61},   // curve 0
                            {102, 95}, {155, 124}, {225, 95}, {125, 85},    // curve 1
                            {88, 41},  {267, 95},  {155, 171}, {126, 39}};  // curve 2
  for (const auto& c : corners) EXPECT_GE(light[static_cast<std::size_t>(c[1] * 320 + c[0])], 1) << c[0] << "," << c[1];
}

TEST(GlowCurves, StampUsesTheTopLeftNineByNineAndStopsAt127) {
  std::vector<std::uint8_t> light(kFramePixels, 0);
  std::array<std::uint8_t, 100> dot;
  dot.fill(50);
  // The bottom-right corner: a stamp at (311, 191) fills exactly the last 9 x 9.
  light[199 * 320 + 319] = 100;
  stamp_dot(LightView(light.data(), light.size()), dot, 311, 191);
  int lit = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 320; ++x) {
      const bool inside = x >= 311 && y >= 191;
      const int value = light[static_cast<std::size_t>(y * 320 + x)];
      if (inside) ++lit;
      if (x == 319 && y == 199) {
        EXPECT_EQ(value, 127);
      } else {
        ASSERT_EQ(value, inside ? 50 : 0) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(lit, 81);
  stamp_dot(LightView(light.data(), light.size()), dot, 311, 191);
  stamp_dot(LightView(light.data(), light.size()), dot, 311, 191);
  EXPECT_EQ(light[195 * 320 + 315], 127);
}

TEST(GlowCurves, WholeCurvesStayOnTheScreenForAnySizeAndAngle) {
  const Weights w;
  std::vector<CurvePoint> store(kCurvePointStore);
  // Exactly sized: a stamp past an edge would be caught by the address checker.
  std::vector<std::uint8_t> light(kFramePixels);
  std::array<std::uint8_t, 100> dot;
  dot.fill(1);
  for (const float s : {0.91f, 1.3f, 1.69f, -0.06f, 3.0f, 1e30f}) {
    for (const int a : {0, 179, 359, -77, 1000000}) {
      draw_glow_curves(s, a, LightView(light.data(), light.size()), dot, w.view(), CurvePointView(store.data(), store.size()));
    }
  }
  EXPECT_GT(*std::max_element(light.begin(), light.end()), 0);
}

}  // namespace
}  // namespace morvane
