#include "tools/standin/fog_backdrop.h"

#include <cmath>

#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr float kHorizon = 122.0f;

// A striped sun over a grid plain: the grid of the scene's waves continued into the distance.
Rgb retro(float x, float y) {
  static const Gradient sky{{0.0f, rgb8(6, 4, 26)}, {0.45f, rgb8(40, 14, 84)}, {0.8f, rgb8(150, 40, 130)},
                            {1.0f, rgb8(255, 90, 140)}};
  if (y < kHorizon) {
    Rgb c = sky.at(y / kHorizon);
    const std::uint32_t h = hash3(static_cast<int>(x), static_cast<int>(y), 503u);
    if ((h & 0x1FFu) < 2u && y < 80.0f) c = screen(c, rgb8(220, 220, 255) * (1.0f - y / 80.0f));
    // The sun, cut by widening gaps towards its lower edge.
    const Vec2 sun{160.0f, 84.0f};
    const float d = length(Vec2{x, y} - sun);
    c = screen(c, rgb8(255, 80, 150) * (0.5f * std::exp(-std::fabs(d - 46.0f) / 14.0f)));
    const float below = y - 84.0f;
    bool gap = false;
    if (below > 2.0f) {
      const float period = 9.0f;
      const float phase = std::fmod(below, period);
      gap = phase < 1.0f + below * 0.09f;
    }
    if (!gap) {
      const Rgb face = mix(rgb8(255, 236, 110), rgb8(255, 60, 130), clamp01((y - 40.0f) / 90.0f));
      c = mix(c, face, coverage(d - 46.0f));
    }
    // Low mountains on the horizon, edged in light.
    const float ridge = kHorizon - 4.0f - 22.0f * std::pow(fbm(x / 40.0f, 0.5f, 4096, 1, 4, 0.5f, 509u), 2.0f) *
                                           (0.4f + 0.6f * smoothstep(20.0f, 120.0f, std::fabs(x - 160.0f)));
    if (y > ridge - 1.5f) {
      Rgb m = rgb8(26, 8, 44);
      m = screen(m, rgb8(255, 80, 200) * std::exp(-(y - ridge) / 1.2f));
      c = mix(c, m, coverage(ridge - y));
    }
    return c;
  }
  // The plain: world depth from the row, grid lines by world position, glowing, fading into haze.
  const float rows_below = y - kHorizon;
  const float z = 900.0f / rows_below;
  const float wx = (x - 160.0f) * z / 300.0f;
  const float pixel_world_x = z / 300.0f;
  const float pixel_world_z = 900.0f / (rows_below * rows_below);
  const float gx = std::fabs(wx / 2.0f - std::round(wx / 2.0f)) * 2.0f;
  const float gz = std::fabs(z / 2.0f - std::round(z / 2.0f)) * 2.0f;
  const float line_x = std::exp(-gx / (pixel_world_x * 0.9f));
  const float line_z = std::exp(-gz / (pixel_world_z * 0.9f));
  const float haze = std::exp(-z / 40.0f);
  Rgb c = mix(rgb8(30, 8, 50), rgb8(8, 2, 20), smoothstep(0.0f, 60.0f, rows_below));
  c = screen(c, rgb8(255, 60, 200) * (std::min(1.0f, line_x + line_z) * (0.25f + 0.75f * haze)));
  // The sun's reflection on the plain.
  c = screen(c, rgb8(255, 120, 120) * (0.35f * std::exp(-std::fabs(x - 160.0f) / 18.0f) * std::exp(-rows_below / 30.0f)));
  c = mix(c, rgb8(200, 60, 150), 0.5f * std::exp(-rows_below / 4.0f));
  return c;
}

}  // namespace

Picture fog_backdrop() {
  RgbImage img(320, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      img.at(x, y) = clamp01(supersample(retro, static_cast<float>(x), static_cast<float>(y), 3));
  return {"fogback.pcx", quantize(img, {.dither = 0.5f}), 0};
}

}  // namespace morvane::standin
