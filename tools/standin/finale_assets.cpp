#include "tools/standin/finale_assets.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/standin/filters.h"
#include "tools/standin/font.h"
#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr float kTau = 6.28318531f;

// Stage light: beams fanning down from above the screen and a pool of light in the middle.
Picture stage_light() {
  ValueMap m(320, 200);
  fill(m, [](float x, float y) {
    const float angle = std::atan2(x - 160.0f, y + 60.0f);
    const float beams = std::pow(0.5f + 0.5f * std::cos(angle * 11.0f), 5.0f) * std::exp(-(y + 60.0f) / 260.0f);
    const float pool = std::exp(-((x - 160.0f) * (x - 160.0f) / 9000.0f + (y - 110.0f) * (y - 110.0f) / 3500.0f));
    const float dust = fbm(x / 20.0f, y / 20.0f, 64, 64, 3, 0.5f, 801u);
    return std::clamp(4.0f + 38.0f * beams + 30.0f * pool + 6.0f * dust, 0.0f, 63.0f);
  });
  return {"light.pcx", to_value_picture(m, 63), 63};
}

// Light texture for the tunnel and rings: columns turn around the centre, rows run along the
// depth, so wobbling bands give spiralling rings of light and the column term spokes. The
// finale adds these levels towards white, so most of it stays low.
Picture light_texture() {
  ValueMap m(256, 256);
  fill(m, [](float x, float y) {
    const float rings = std::cos(kTau * 3.0f * y / 256.0f + 1.5f * std::sin(kTau * 2.0f * x / 256.0f));
    const float spokes = 0.6f + 0.4f * std::cos(kTau * 8.0f * x / 256.0f);
    const float n = fbm(x / 32.0f, y / 32.0f, 8, 8, 3, 0.5f, 811u) - 0.5f;
    // Mostly low levels (the finale adds light towards white), bright only on the rings' crests.
    const float crest = (0.5f + 0.5f * rings) * (0.5f + 0.5f * rings);
    return std::clamp(4.0f + 52.0f * crest * spokes + 10.0f * n, 0.0f, 63.0f);
  });
  return {"light256.pcx", to_value_picture(m, 63), 63};
}

// Overlay strip shown in flashes on the beats: the title's letters stacked down a column,
// each on a ring, between dashed rails. Black (index 0) is see-through.
Picture overlay_strip() {
  constexpr int kW = 180, kH = 480;
  constexpr float kScale = 8.0f;
  const std::string word = "MORVANE";
  ValueMap letters(kW, kH, 0.0f);
  for (std::size_t i = 0; i < word.size(); ++i) {
    const std::string one(1, word[i]);
    const float top = 14.0f + 66.0f * static_cast<float>(i);
    const ValueMap l = render_text(one, kW, kH, centred_x(one, 90.0f, kScale), top, kScale);
    for (std::size_t k = 0; k < letters.cells().size(); ++k) letters.cells()[k] = std::max(letters.cells()[k], l.cells()[k]);
  }
  const ValueMap outline = blur(letters, 2);

  RgbImage img(kW, kH);
  std::vector<std::uint8_t> transparent(static_cast<std::size_t>(kW) * kH, 0);
  static const Gradient face{{0.0f, rgb8(255, 255, 230)}, {0.5f, rgb8(255, 200, 80)}, {1.0f, rgb8(240, 90, 50)}};
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      const int slot = std::clamp(static_cast<int>((p.y - 14.0f + 5.0f) / 66.0f), 0, 6);
      const Vec2 centre{90.0f, 14.0f + 66.0f * static_cast<float>(slot) + 28.0f};
      const float ring = std::fabs(length(p - centre) - 40.0f) - 2.5f;
      const float rails = std::min(std::fabs(p.x - 10.0f), std::fabs(p.x - 170.0f)) - 2.0f;
      const bool dash = std::fmod(p.y, 16.0f) < 10.0f;
      const float l = letters.at(x, y);
      const float o = outline.at(x, y);
      Rgb c{};
      float alpha = 0.0f;
      if (ring < 0.5f) {
        c = mix(rgb8(40, 210, 255), rgb8(200, 120, 255), static_cast<float>(slot % 2));
        alpha = 1.0f;
      }
      if (rails < 0.5f && dash) {
        c = rgb8(230, 240, 255);
        alpha = 1.0f;
      }
      if (o > 0.05f) {
        c = rgb8(30, 12, 44);  // dark, but never black: black is the see-through colour
        alpha = 1.0f;
      }
      if (l >= 0.5f) c = face.at((p.y - (14.0f + 66.0f * static_cast<float>(slot))) / 56.0f);
      img.at(x, y) = c;
      transparent[static_cast<std::size_t>(y) * kW + x] = alpha > 0.0f || l >= 0.5f ? 0 : 1;
    }
  IndexedImage out = quantize(img, {.first_index = 1, .colours = 255, .dither = 0.0f, .transparent = transparent});
  out.set_colour(0, 0, 0, 0);
  // An opaque colour must stay visible once reduced to 5:6:5.
  for (int i = 1; i < 256; ++i) {
    const int r = out.palette[i * 3], g = out.palette[i * 3 + 1], b = out.palette[i * 3 + 2];
    if (r < 8 && g < 4 && b < 8) out.set_colour(i, 8, 8, 8);
  }
  return {"spice.pcx", std::move(out), 0};
}

}  // namespace

std::vector<Picture> finale_assets() {
  std::vector<Picture> out;
  out.push_back(stage_light());
  out.push_back(light_texture());
  out.push_back(overlay_strip());
  return out;
}

}  // namespace morvane::standin
