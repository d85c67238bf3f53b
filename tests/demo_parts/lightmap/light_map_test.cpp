// Scene 3: the whole-map kernels' margins, lanes and wrap-around, the primitives' clipping and
// caps, the thick lines' edges, and the load's failure.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>

#include "core/song_event.h"
#include "demo_parts/lightmap/light_map_part.h"
#include "engine/demo_rand.h"
#include "tests/demo_parts/scene_harness.h"

namespace morvane {
namespace {

class LightBuffers : public ::testing::Test {
 protected:
  LightMapBuffer map() { return LightMapBuffer(a.data(), a.size()); }
  LightMapBuffer second() { return LightMapBuffer(b.data(), b.size()); }
  std::uint8_t& va(int i) { return a[static_cast<std::size_t>(kLightMapMargin + i)]; }
  std::uint8_t& vb(int i) { return b[static_cast<std::size_t>(kLightMapMargin + i)]; }
  std::vector<std::uint8_t> a = std::vector<std::uint8_t>(kLightMapBytes, 0);
  std::vector<std::uint8_t> b = std::vector<std::uint8_t>(kLightMapBytes, 0);
};

void decay_by_lanes(std::vector<std::uint8_t>& current, std::vector<std::uint8_t>& other) {
  std::uint8_t* c = current.data() + kLightMapMargin;
  std::uint8_t* o = other.data() + kLightMapMargin;
  std::fill_n(c, 640, 0);
  std::fill_n(c + 63680, 640, 0);
  for (int p = kDecayFirst; p < kDecayEnd; p += 4) {
    int sums[4];
    for (int k = 0; k < 4; ++k) sums[k] = c[p + k - 1] + c[p + k + 1] + c[p + k + 320] + c[p + k - 320];
    int carry = 0;
    for (int k = 0; k < 4; ++k) {
      const int lane = sums[k] + carry;
      carry = lane >> 8;
      const int v = std::max((lane & 0xFF) - 1, 0) / 4;
      c[p + k] = static_cast<std::uint8_t>(v);
      o[p + k] = static_cast<std::uint8_t>(std::max(v - 1, 0));
    }
  }
}

using testing::MemoryPictures;
using testing::palette_of;
using testing::uniform;

class LightMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    song_event().reset();
    reset_demo_rand();
    pictures.pictures["sprott.pcx"] = {uniform(100, 10), {}};
    pictures.pictures["gl_pic.pcx"] = {uniform(64000, 1), palette_of({{0, 0, 0}, {100, 150, 200}})};
    pictures.pictures["gl_tex.pcx"] = {uniform(65536, 5), {}};
    pictures.pictures["flares.pcx"] = {uniform(80000, 0), {}};
    pictures.pictures["liglog.pcx"] = {uniform(128000, 0), palette_of({{9, 9, 9}})};
  }
  MemoryPictures pictures;
  LightMapPart part;
};

class BlitTest : public ::testing::Test {
 protected:
  // A 20 x 10 source whose byte is 10 x row + column (0..199).
  BlitTest() : source(200) {
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 20; ++c) source[static_cast<std::size_t>(r * 20 + c)] = static_cast<std::uint8_t>(10 * r + c);
  }
  void blit(int x, int y, int cap = 256) {
    add_blit(dest, source, BlitRect{x, y, 0, 0, 20, 10}, cap, 320, 20);
  }
  int at(int x, int y) const { return dest[static_cast<std::size_t>(y * 320 + x)]; }
  int total() const { return std::accumulate(dest.begin(), dest.end(), 0); }
  std::vector<std::uint8_t> source;
  std::vector<std::uint8_t> dest = std::vector<std::uint8_t>(kFramePixels, 0);
};

struct Weights {
  std::array<float, 16> w0{}, w1{}, w2{}, w3{};
  Weights() { build_curve_weights(w0, w1, w2, w3); }
  CurveWeights view() const { return {w0, w1, w2, w3}; }
};

class LineTest : public ::testing::Test {
 protected:
  void trace(int x0, int y0, int x1, int y1) { trace_thick_line(x0, y0, x1, y1, RayHits(hits.data(), hits.size())); }
  void add_hits() { add_ray_hits(LightView(light.data(), light.size()), RayHits(hits.data(), hits.size())); }
  std::vector<std::uint8_t> light = std::vector<std::uint8_t>(kFramePixels, 0);
  std::vector<std::uint16_t> hits = std::vector<std::uint16_t>(kRayHitCells, 0);
};

// The line one checked step at a time, as plainly as it can be written: the clipped drawing
// must match it byte for byte.
void stepwise_line(int x0, int y0, int x1, int y1, std::vector<std::uint8_t>& light) {
  if (x0 < 0 || x0 > 320 || y0 < 0 || y0 > 199) return;
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const bool x_major = std::llabs(dx) > std::llabs(dy);
  const std::int64_t length = x_major ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t major2 = 2 * length, minor2 = 2 * (x_major ? std::llabs(dy) : std::llabs(dx));
  std::int64_t error = minor2 - length;
  int x = x0, y = y0;
  for (std::int64_t i = 0; i < length; ++i) {
    if (x < 0 || x > 320 || y < 0 || y > 200) return;
    for (int by = y; by < y + 2; ++by)
      for (int bx = x; bx < x + 2; ++bx)
        if (bx < 320 && by < 200) {
          std::uint8_t& q = light[static_cast<std::size_t>(by * 320 + bx)];
          q = static_cast<std::uint8_t>(std::min(q + 1, 63));
        }
    if (error >= 0) {
      (x_major ? y : x) += (x_major ? dy : dx) < 0 ? -1 : 1;
      error -= major2;
    }
    error += minor2;
    (x_major ? x : y) += (x_major ? dx : dy) < 0 ? -1 : 1;
  }
}

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

  std::vector<std::uint8_t> texture;
  std::vector<std::uint8_t> light;
};

TEST_F(LightBuffers, BlurWrapsRowsAndReadsZeroMargins) {
  va(319) = 200;    // the left neighbour of row 1's first pixel
  va(63999) = 80;   // the last pixel: margin to its right and below
  blur_light_map(map());
  EXPECT_EQ(va(318), 50);
  EXPECT_EQ(va(319), 12);  // its own 200 does not count
  EXPECT_EQ(va(320), 3);
  EXPECT_EQ(va(63679), 20);  // sees the 80 below it
  EXPECT_EQ(va(63998), 20);
  EXPECT_EQ(va(63999), 10);
  for (int i = 0; i < kLightMapMargin; ++i) {
    ASSERT_EQ(a[static_cast<std::size_t>(i)], 0);
    ASSERT_EQ(a[a.size() - 1 - static_cast<std::size_t>(i)], 0);
  }
  // An all-127 map keeps 127 nowhere: the margins pull every pixel down at least by one.
  std::fill(a.begin() + kLightMapMargin, a.end() - kLightMapMargin, 127);
  blur_light_map(map());
  EXPECT_EQ(va(0), 63);
  EXPECT_EQ(va(32100), 126);
}

TEST_F(LightBuffers, DecayLanesCarryLikeOneWordAddition) {
  // Levels up to 255 (far above what the rays draw) make lane sums overflow and carry; the
  // last round scatters a few bright pixels over rays' levels, so that rows which could carry
  // alternate with rows which cannot.
  std::mt19937 random(7);
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < kFramePixels; ++i) {
      const unsigned level = random() % (round == 0 || round == 3 ? 64 : round == 1 ? 128 : 256);
      va(i) = static_cast<std::uint8_t>(round == 3 && random() % 1000 == 0 ? 255 : level);
      vb(i) = static_cast<std::uint8_t>(random());
    }
    std::vector<std::uint8_t> ra = a, rb = b;
    decay_by_lanes(ra, rb);
    decay_light_map(map(), second());
    ASSERT_EQ(a, ra) << round;
    ASSERT_EQ(b, rb) << round;
  }
}

TEST_F(LightMapTest, MissingPictureFailsTheLoadWithItsMessage) {
  pictures.pictures.erase("liglog.pcx");
  try {
    part.load_from(pictures);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Could not load the file 'liglog.pcx' from memory");
  }
  EXPECT_FALSE(part.loaded());
}

TEST_F(BlitTest, ClipsOnEverySideAndShiftsTheSource) {
  blit(-5, -3);  // shows source columns 5..19 and rows 3..9 at the top-left corner
  EXPECT_EQ(at(0, 0), 35);
  EXPECT_EQ(at(14, 6), 10 * 9 + 19);
  EXPECT_EQ(at(15, 0), 0);
  EXPECT_EQ(at(0, 7), 0);
  dest.assign(dest.size(), 0);
  blit(310, 195);  // columns 0..9, rows 0..4 at the bottom-right corner
  EXPECT_EQ(at(310, 195), 0);
  EXPECT_EQ(at(319, 199), 10 * 4 + 9);
  EXPECT_EQ(at(309, 199), 0);
  EXPECT_EQ(total(), [] {
    int sum = 0;
    for (int r = 0; r < 5; ++r)
      for (int c = 0; c < 10; ++c) sum += 10 * r + c;
    return sum;
  }());
}

TEST_F(BlitTest, RectanglesOffTheScreenDrawNothing) {
  for (const auto& [x, y] : {std::pair{-20, 5}, {320, 5}, {5, -10}, {5, 200}, {-500, -500}, {100000, 0}}) blit(x, y);
  EXPECT_EQ(total(), 0);
  blit(-19, -9);  // one pixel left: the source's last
  EXPECT_EQ(total(), 10 * 9 + 19);
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

TEST_F(LineTest, GatheredHitsMatchTheStepwiseLines) {
  // Overlapping blocks without the end point, edges, corners, starts off the screen, no length,
  // lines that leave for good, far ends of any int (near-diagonal ones just either side of
  // where the fixed-point steps give way to the walk), and random lines over bytes partly above
  // 63: one line at a time, then all of them gathered before one addition (which reaches the
  // cap and leaves the hits zero).
  std::vector<std::array<int, 4>> lines = {
      {320, 5, 310, 5},   {319, 199, 0, 0},    {0, 199, 319, 199},   {319, 0, 319, 199}, {320, 200, 0, 0},
      {0, 0, 320, 200},   {5, 5, 5, 5},        {-1, 5, 50, 5},       {5, 200, 5, 0},     {321, 5, 0, 5},
      {10, 10, 400, 250}, {300, 190, 0, 200},  {318, 198, 330, 210}, {0, 0, -5, 100},    {160, 100, 480, 300},
      {100, 100, 101, 99}, {0, 199, 1, -1000}, {160, 100, INT_MAX, INT_MIN}, {0, 0, INT_MIN, 5},
      {200, 0, 200, INT_MAX}, {319, 100, 330, 101}, {10, 10, 20, 10}, {5, 150, 5, 1000000}, {3, 50, -100, 50},
      {50, 200, 50, 100}, {50, -1, 50, 100}, {0, 0, 6000000, 5999999}, {319, 0, -12999999, 13000000}};
  std::mt19937 random(11);
  const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (int i = 0; i < 3000; ++i) lines.push_back({pick(-10, 330), pick(-10, 210), pick(-700, 1000), pick(-500, 700)});
  for (auto& b : light) b = static_cast<std::uint8_t>(pick(0, 80));
  std::vector<std::uint8_t> expected = light;
  for (const auto& [x0, y0, x1, y1] : lines) {
    trace(x0, y0, x1, y1);
    add_hits();
    stepwise_line(x0, y0, x1, y1, expected);
    ASSERT_EQ(light, expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
  }
  for (const auto& [x0, y0, x1, y1] : lines) {
    trace(x0, y0, x1, y1);
    stepwise_line(x0, y0, x1, y1, expected);
  }
  add_hits();
  EXPECT_EQ(light, expected);
  EXPECT_EQ(std::count(hits.begin(), hits.end(), 0), kRayHitCells);
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

}  // namespace
}  // namespace morvane
