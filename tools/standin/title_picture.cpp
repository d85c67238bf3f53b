#include "tools/standin/title_picture.h"

#include <cmath>

#include "tools/standin/filters.h"
#include "tools/standin/font.h"
#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr int kW = 320, kH = 200;

Rgb backdrop(float x, float y) {
  // Deep blue vignette with a violet haze and a band of light through the middle, where the
  // zoom starts.
  const float dx = (x - 160.0f) / 200.0f, dy = (y - 100.0f) / 140.0f;
  const float r = std::sqrt(dx * dx + dy * dy);
  Rgb c = mix(rgb8(34, 26, 78), rgb8(4, 3, 14), smoothstep(0.0f, 1.0f, r));
  const float haze = fbm(x / 60.0f, y / 45.0f, 64, 64, 5, 0.55f, 211u);
  c = c + rgb8(110, 40, 140) * (0.55f * smoothstep(0.45f, 0.85f, haze) * (1.0f - r * 0.6f));
  c = c + rgb8(30, 90, 160) * (0.35f * smoothstep(0.5f, 0.9f, fbm(x / 35.0f, y / 80.0f, 64, 64, 4, 0.5f, 223u)));
  const float band = std::exp(-std::fabs(y - 96.0f) / 18.0f) * std::exp(-std::fabs(x - 160.0f) / 260.0f);
  c = screen(clamp01(c), rgb8(90, 120, 255) * (0.35f * band));
  const std::uint32_t h = hash3(static_cast<int>(x), static_cast<int>(y), 227u);
  if ((h & 0x1FFu) < 3u) c = screen(c, rgb8(230, 230, 255) * (0.3f + 0.7f * static_cast<float>((h >> 9) & 0xFF) / 255.0f));
  return clamp01(c);
}

}  // namespace

Picture title_picture() {
  constexpr float kTitleScale = 7.0f;
  constexpr float kTitleTop = 58.0f;
  constexpr float kByScale = 2.0f;
  constexpr float kByTop = 128.0f;
  const std::string_view title = "Morvane";
  const std::string_view by = "by Quillfen";

  const ValueMap letters = render_text(title, kW, kH, centred_x(title, 160.0f, kTitleScale), kTitleTop, kTitleScale);
  const ValueMap credit = render_text(by, kW, kH, centred_x(by, 160.0f, kByScale), kByTop, kByScale);
  // A dark rim and a soft glow around the letters.
  const ValueMap rim = blur(letters, 2);
  const ValueMap glow = blur(letters, 7);
  const ValueMap credit_glow = blur(credit, 3);

  static const Gradient fill_colours{{0.0f, rgb8(255, 250, 225)}, {0.45f, rgb8(255, 206, 120)},
                                     {0.75f, rgb8(236, 110, 70)}, {1.0f, rgb8(160, 40, 90)}};
  RgbImage img(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
      Rgb c = supersample(backdrop, static_cast<float>(x), static_cast<float>(y), 2);
      c = screen(c, rgb8(80, 140, 255) * (1.1f * glow.at(x, y)));
      c = mix(c, rgb8(10, 6, 30), std::min(1.0f, rim.at(x, y) * 1.6f) * 0.85f);
      // Letter face: warm gradient, with a lighter sheen on the upper half of each stroke.
      const float t = (fy - kTitleTop) / (7.0f * kTitleScale);
      Rgb face = fill_colours.at(t);
      const float sheen = 0.5f + 0.5f * std::sin(fx * 0.05f + fy * 0.11f);
      face = screen(face, rgb8(255, 255, 255) * (0.15f * sheen));
      c = mix(c, face, letters.at(x, y));
      c = screen(c, rgb8(120, 170, 255) * (0.6f * credit_glow.at(x, y)));
      c = mix(c, rgb8(220, 235, 255), credit.at(x, y));
      // Thin rules above and below the credit line.
      const float rule = std::exp(-std::fabs(fx - 160.0f) / 50.0f);
      if (y == 123 || y == 151) c = screen(c, rgb8(140, 170, 255) * (0.8f * rule));
      img.at(x, y) = clamp01(c);
    }
  return {"morvane.pcx", quantize(img, {.dither = 0.5f}), 0};
}

}  // namespace morvane::standin
