#include "tools/standin/wrap_textures.h"

#include <algorithm>
#include <cmath>

#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr int kSize = 256;
constexpr float kTau = 6.28318531f;

// Whole numbers of periods across the tile keep every term seamless.
float wave(float x, float y, int fx, int fy, float phase) {
  return std::sin(kTau * (static_cast<float>(fx) * x + static_cast<float>(fy) * y) / kSize + phase);
}

// Molten plasma: sums of tile-periodic waves, warped by tile-periodic noise; a ramp palette
// from ember red to yellow.
Picture lava() {
  IndexedImage img(kSize, kSize);
  put_ramp(img.palette, 0, 256,
           Gradient{{0.0f, rgb8(40, 4, 10)}, {0.3f, rgb8(150, 24, 20)}, {0.6f, rgb8(220, 100, 30)},
                    {0.85f, rgb8(240, 190, 70)}, {1.0f, rgb8(250, 230, 150)}});
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float fx = static_cast<float>(x), fy = static_cast<float>(y);
      const float warp = 14.0f * (fbm(fx / 32.0f, fy / 32.0f, 8, 8, 3, 0.5f, 701u) - 0.5f);
      const float v = wave(fx + warp, fy, 2, 1, 0.0f) + wave(fx, fy - warp, -1, 3, 1.0f) +
                      wave(fx + warp, fy + warp, 3, -2, 2.0f) + 0.7f * wave(fx, fy, 5, 4, 0.5f);
      const float t = 0.5f + v / 7.4f;
      // Bright veins where the field crosses its middle.
      const float vein = std::exp(-std::fabs(v) * 3.0f);
      const float level = std::clamp(0.75f * t + 0.35f * vein, 0.0f, 1.0f);
      img.at(x, y) = static_cast<std::uint8_t>(std::lround(level * 255.0f));
    }
  return {"wogtex1.pcx", std::move(img), 0};
}

// Riveted metal panels with glowing seams: 8 x 8 panels of 32 texels.
Rgb panel(float x, float y) {
  const int px = static_cast<int>(x) / 32, py = static_cast<int>(y) / 32;
  const float u = std::fmod(x, 32.0f), v = std::fmod(y, 32.0f);
  const std::uint32_t h = hash3(px, py, 711u);
  const float edge = std::min({u, 32.0f - u, v, 32.0f - v});
  const float grain = fbm(x / 6.0f, y / 48.0f, 256 / 6 + 1, 6, 3, 0.5f, 719u);
  // Darkish blue steel: the finale adds its light towards white on top of these colours.
  Rgb metal = mix(rgb8(48, 60, 96), rgb8(86, 100, 138), 0.4f * hash_unit(px, py, 713u) + 0.6f * grain);
  // Bevel: lit from the top left.
  if (edge < 3.0f) metal = metal * ((u < 3.0f || v < 3.0f) && u < 32.0f - 3.0f && v < 32.0f - 3.0f ? 1.35f : 0.65f);
  // Some panels carry vents, some a round hatch.
  if ((h & 3u) == 0u && u > 7.0f && u < 25.0f && v > 7.0f && v < 25.0f) {
    const float slot = std::fmod(v - 7.0f, 4.5f);
    if (slot < 2.2f) metal = rgb8(14, 18, 30);
  } else if ((h & 3u) == 1u) {
    const float r = length(Vec2{u - 16.0f, v - 16.0f});
    metal = mix(metal, metal * 1.3f, coverage(std::fabs(r - 9.0f) - 1.0f));
    metal = mix(metal, rgb8(30, 200, 220), coverage(r - 3.0f) * 0.9f);
  }
  // Rivets near the corners.
  for (float cx : {4.5f, 27.5f})
    for (float cy : {4.5f, 27.5f}) {
      const float d = length(Vec2{u - cx, v - cy});
      metal = mix(metal, rgb8(170, 180, 200), coverage(d - 1.4f));
    }
  // A seam of light between panels.
  metal = screen(metal, rgb8(40, 200, 255) * (0.8f * std::exp(-edge / 0.9f)));
  return clamp01(metal);
}

Picture tech_panels() {
  RgbImage img(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) img.at(x, y) = panel(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
  return {"wogtex2.pcx", quantize(img, {.dither = 0.3f}), 0};
}

// Living cells: a tile-periodic cellular pattern, each cell tinted on its own, with bright walls.
Picture cells() {
  RgbImage img(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
      const CellSample s = cellular(fx / 32.0f, fy / 32.0f, 8, 8, 731u);
      const float wall = (s.second - s.nearest) * 32.0f;
      const float tint = static_cast<float>(s.cell_hash & 0xFFu) / 255.0f;
      const Rgb inside = mix(rgb8(20, 90, 70), rgb8(60, 150, 60), tint);
      Rgb c = inside * (0.45f + 0.55f * (1.0f - std::min(1.0f, s.nearest * 1.4f)));
      const float nucleus = std::exp(-s.nearest * s.nearest * 60.0f);
      c = screen(c, rgb8(200, 240, 120) * (0.6f * nucleus));
      c = mix(c, rgb8(150, 60, 170), std::exp(-wall / 1.8f));
      c = c * (0.85f + 0.3f * fbm(fx / 16.0f, fy / 16.0f, 16, 16, 3, 0.5f, 739u));
      img.at(x, y) = clamp01(c);
    }
  return {"wogtex3.pcx", quantize(img, {.dither = 0.4f}), 0};
}

}  // namespace

std::vector<Picture> wrap_textures() {
  std::vector<Picture> out;
  out.push_back(lava());
  out.push_back(tech_panels());
  out.push_back(cells());
  return out;
}

}  // namespace morvane::standin
