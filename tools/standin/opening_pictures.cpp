#include "tools/standin/opening_pictures.h"

#include <cmath>

#include "tools/standin/filters.h"
#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr int kW = 320, kH = 200;

// A 1D line from noise: used for shores.
float ridge(float x, float scale, std::uint32_t seed) {
  return fbm(x / scale, 0.5f, 1 << 12, 1, 5, 0.5f, seed);
}

// Sharp peaks: folded noise, octave by octave.
float peaks(float x, float scale, std::uint32_t seed) {
  float sum = 0.0f, weight = 0.5f, total = 0.0f;
  float f = 1.0f / scale;
  for (int o = 0; o < 6; ++o) {
    const float n = value_noise(x * f, 0.5f, 1 << 14, 1, seed + static_cast<std::uint32_t>(o));
    sum += weight * (1.0f - std::fabs(2.0f * n - 1.0f));
    total += weight;
    weight *= 0.5f;
    f *= 2.1f;
  }
  return sum / total;
}

// Values 0..24 stamped additively: a round glow whose centre is the middle of the used 9 x 9.
Picture glow_sprite() {
  ValueMap m(10, 10, 0.0f);
  fill(m, [](float x, float y) {
    // Centred on pixel (4, 4), the middle of the 9 x 9 that the scenes stamp.
    const float d2 = (x - 4.5f) * (x - 4.5f) + (y - 4.5f) * (y - 4.5f);
    const float v = 25.2f * std::exp(-d2 / 5.0f) - 1.2f;  // peaks at exactly 24
    return v > 0 ? v : 0.0f;
  });
  return {"sprott.pcx", to_value_picture(m, 24), 24};
}

// Added to the light level: where it is high the first picture appears first and holds brightest.
// A soft pool of light around the sun, broken up by drifting noise. The scene's level climbs to
// 196 while the mask is added, so the mask stops at 59 to keep the sum within the table's 256
// levels.
constexpr float kMaskTop = 59.0f;

Picture reveal_mask() {
  ValueMap m(kW, kH);
  fill(m, [](float x, float y) {
    const float dx = (x - 215.0f) / 230.0f, dy = (y - 104.0f) / 170.0f;
    const float radial = 1.0f - std::sqrt(dx * dx + dy * dy);
    const float n = fbm(x / 48.0f, y / 40.0f, 64, 64, 4, 0.55f, 17u) - 0.5f;
    const float streak = fbm(x / 90.0f, y / 16.0f, 64, 64, 2, 0.5f, 23u) - 0.5f;
    const float v = 0.1f + 1.15f * radial + 0.7f * n + 0.25f * streak;
    return kMaskTop * smoothstep(0.0f, 1.0f, v);
  });
  return {"begin_bw.pcx", to_value_picture(m, static_cast<int>(kMaskTop)), static_cast<int>(kMaskTop)};
}

// Dawn over a mountain lake.
Rgb dawn_sky(float x, float y) {
  static const Gradient sky{{0.00f, rgb8(10, 10, 38)},   {0.35f, rgb8(40, 24, 84)},
                            {0.62f, rgb8(120, 48, 110)}, {0.82f, rgb8(226, 104, 82)},
                            {0.95f, rgb8(255, 178, 102)}, {1.00f, rgb8(255, 214, 150)}};
  const float horizon = 130.0f;
  Rgb c = sky.at(y / horizon + 0.06f);
  // Warm light around the sun.
  const Vec2 sun{215.0f, 96.0f};
  const float d = length(Vec2{x, y} - sun);
  c = screen(c, rgb8(255, 170, 90) * (0.85f * std::exp(-d / 55.0f)));
  c = screen(c, rgb8(255, 240, 200) * (0.9f * std::exp(-d / 14.0f)));
  if (d < 15.0f) c = mix(c, rgb8(255, 246, 220), coverage(d - 15.0f, 1.5f));
  // Thin cloud streaks, lit from below.
  const float band = smoothstep(40.0f, 70.0f, y) * (1.0f - smoothstep(108.0f, 124.0f, y));
  const float cloud = smoothstep(0.52f, 0.72f, fbm(x / 95.0f, y / 7.0f, 64, 64, 5, 0.55f, 5u)) * band;
  const Rgb cloud_colour = mix(rgb8(120, 60, 120), rgb8(255, 150, 110), smoothstep(60.0f, 115.0f, y));
  c = mix(c, cloud_colour, cloud * 0.85f);
  // Stars fade out towards the glow.
  if (y < 80.0f) {
    const std::uint32_t h = hash3(static_cast<int>(x), static_cast<int>(y), 99u);
    if ((h & 0x3FFu) < 3u) {
      const float bright = (1.0f - y / 80.0f) * (0.4f + 0.6f * static_cast<float>((h >> 12) & 0xFF) / 255.0f);
      c = screen(c, rgb8(230, 230, 255) * bright);
    }
  }
  return c;
}

// Three ranges of mountains, the farthest lost in haze.
struct MountainLayer {
  float base, amplitude, scale;
  std::uint32_t seed;
  Rgb colour;
};
const MountainLayer kMountains[] = {
    {124.0f, 58.0f, 60.0f, 31u, rgb8(150, 84, 130)},
    {129.0f, 44.0f, 44.0f, 37u, rgb8(86, 44, 92)},
    {132.0f, 26.0f, 30.0f, 41u, rgb8(36, 20, 54)},
};
constexpr float kHorizon = 131.0f;

Rgb dawn_land(float x, float y) {
  Rgb c = dawn_sky(x, y);
  for (const MountainLayer& m : kMountains) {
    const float top = m.base - m.amplitude * peaks(x, m.scale, m.seed);
    const float inside = coverage(top - y, 1.0f);
    if (inside <= 0) continue;
    // Rock, its ridge lit from the sun's side, a little mist at the foot.
    const float rock = fbm(x / 9.0f, y / 6.0f, 256, 256, 3, 0.5f, m.seed + 3u);
    Rgb mc = m.colour * (0.9f + 0.2f * rock);
    const float rim = std::exp(-(y - top) / 2.5f) * (0.15f + 0.45f * smoothstep(60.0f, 240.0f, x));
    mc = screen(mc, rgb8(255, 150, 100) * rim);
    mc = mix(mc, rgb8(200, 110, 130), smoothstep(m.base - 6.0f, m.base + 2.0f, y) * 0.25f);
    c = mix(c, mc, inside);
  }
  return c;
}

Rgb dawn(float x, float y) {
  if (y < kHorizon) return dawn_land(x, y);
  // The lake mirrors the land, rippled and darkened towards the shore.
  const float depth = y - kHorizon;
  const float ripple = std::sin(y * 1.7f + std::sin(x * 0.05f) * 2.0f) * (0.6f + depth * 0.05f);
  const float my = kHorizon - depth * 1.1f - 1.0f;
  Rgb c = dawn_land(x + ripple * 2.0f, my < 0 ? 0 : my);
  c = mix(c, rgb8(20, 16, 50), 0.25f + 0.45f * smoothstep(0.0f, 69.0f, depth));
  // The sun's path across the water.
  const float path = std::exp(-std::fabs(x - 215.0f + ripple * 3.0f) / (6.0f + depth * 0.5f));
  const float glint = smoothstep(0.55f, 0.8f, value_noise(x / 3.0f, y / 1.2f, 512, 512, 8u));
  c = screen(c, rgb8(255, 190, 120) * (path * (0.35f + 0.65f * glint)));
  // Dark shore rising into both lower corners.
  const float left = 42.0f * std::exp(-(x / 85.0f) * (x / 85.0f));
  const float right = 30.0f * std::exp(-((320.0f - x) / 60.0f) * ((320.0f - x) / 60.0f));
  const float shore = 203.0f - left - right - 7.0f * ridge(x, 10.0f, 53u);
  c = mix(c, rgb8(10, 7, 22), coverage(shore - y, 1.0f));
  return c;
}

Picture dawn_picture() {
  RgbImage img(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      img.at(x, y) = supersample(dawn, static_cast<float>(x), static_cast<float>(y), 2);
  return {"begin.pcx", quantize(img, {.dither = 0.55f}), 0};
}

// A ringed planet in a nebula: seen only where the glowing point cloud passes and on the flashes,
// so detail sits everywhere.
Rgb space(float x, float y) {
  // Nebula of two tinted gas layers over deep blue.
  const float n1 = fbm(x / 70.0f, y / 60.0f, 64, 64, 6, 0.55f, 61u);
  const float n2 = fbm(x / 45.0f + 3.0f, y / 55.0f, 64, 64, 6, 0.55f, 67u);
  Rgb c = mix(rgb8(4, 4, 16), rgb8(14, 10, 40), y / kH);
  c = c + rgb8(190, 40, 150) * (std::pow(smoothstep(0.35f, 0.85f, n1), 1.6f) * 0.85f);
  c = c + rgb8(30, 140, 200) * (std::pow(smoothstep(0.4f, 0.9f, n2), 1.8f) * 0.75f);
  c = clamp01(c);
  // Stars, a few with small crosses.
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  const std::uint32_t h = hash3(ix, iy, 71u);
  if ((h & 0xFFu) < 3u) c = screen(c, rgb8(220, 225, 255) * (0.5f + 0.5f * static_cast<float>((h >> 8) & 0xFF) / 255.0f));
  static const Vec2 big_stars[] = {{40, 30}, {282, 160}, {300, 22}, {20, 170}, {190, 18}};
  for (const Vec2& s : big_stars) {
    const float dx = std::fabs(x - s.x), dy = std::fabs(y - s.y);
    const float glow = std::exp(-(dx * dx + dy * dy) / 4.0f) + 0.6f * std::exp(-dy * 2.0f) * std::exp(-dx / 5.0f) +
                       0.6f * std::exp(-dx * 2.0f) * std::exp(-dy / 5.0f);
    c = screen(c, rgb8(255, 240, 220) * std::min(glow, 1.0f));
  }

  const Vec2 p{x, y};
  const Vec2 centre{118.0f, 104.0f};
  constexpr float radius = 56.0f;
  const float tilt = -0.32f;
  // Ring plane coordinates: the rings are an ellipse seen from slightly above.
  const Vec2 q = rotate(p - centre, -tilt);
  const float ring_r = std::sqrt(q.x * q.x + (q.y / 0.26f) * (q.y / 0.26f));
  float ring_alpha = 0.0f;
  Rgb ring_colour{};
  if (ring_r > 70.0f && ring_r < 122.0f) {
    const float band = value_noise(ring_r / 2.3f, 0.5f, 4096, 1, 83u);
    const float gap = smoothstep(0.0f, 3.0f, std::fabs(ring_r - 98.0f));
    ring_alpha = (0.35f + 0.6f * band) * gap * smoothstep(70.0f, 74.0f, ring_r) * (1.0f - smoothstep(116.0f, 122.0f, ring_r));
    ring_colour = mix(rgb8(170, 130, 110), rgb8(240, 220, 190), band);
  }
  const bool ring_in_front = q.y > 0.0f;
  if (!ring_in_front) c = mix(c, ring_colour, ring_alpha);

  const float d = length(p - centre);
  if (d < radius + 6.0f) {
    // Atmosphere halo.
    c = screen(c, rgb8(90, 160, 255) * (0.7f * std::exp(-std::fabs(d - radius) / 2.5f)));
  }
  if (d < radius + 1.0f) {
    const float nx = (x - centre.x) / radius, ny = (y - centre.y) / radius;
    const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
    // Bands of cloud along the tilted equator.
    const float lat = rotate(Vec2{nx, ny}, -tilt).y;
    const float bands = fbm(lat * 9.0f + 0.3f * fbm(nx * 4.0f, ny * 4.0f, 64, 64, 3, 0.5f, 89u), nx * 2.0f, 64, 64, 4, 0.5f, 97u);
    Rgb surface = mix(rgb8(60, 80, 160), rgb8(200, 150, 120), bands);
    surface = mix(surface, rgb8(240, 220, 200), smoothstep(0.62f, 0.75f, bands));
    // Lit from the upper right; the ring casts a shadow band across the disc.
    const float light = clamp01(0.55f * nx - 0.45f * ny + 0.7f * nz);
    float shade = 0.08f + 0.92f * std::pow(light, 1.2f);
    const float shadow_band = std::fabs(lat + 0.18f);
    if (shadow_band < 0.06f) shade *= 0.45f;
    surface = surface * shade;
    surface = screen(surface, rgb8(120, 180, 255) * (0.5f * std::pow(1.0f - nz, 3.0f)));
    c = mix(c, surface, coverage(d - radius, 1.0f));
  }
  if (ring_in_front) c = mix(c, ring_colour, ring_alpha);

  // A small moon.
  const float dm = length(p - Vec2{262.0f, 62.0f});
  if (dm < 15.0f) {
    const float nx = (x - 262.0f) / 13.0f, ny = (y - 62.0f) / 13.0f;
    const float light = clamp01(0.6f * nx - 0.5f * ny + 0.6f * std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny)));
    const float crater = fbm(x / 4.0f, y / 4.0f, 512, 512, 3, 0.5f, 101u);
    c = mix(c, rgb8(200, 190, 180) * (0.1f + 0.9f * light) * (0.75f + 0.4f * crater), coverage(dm - 13.0f, 1.0f));
  }
  return clamp01(c);
}

Picture space_picture() {
  RgbImage img(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      img.at(x, y) = supersample(space, static_cast<float>(x), static_cast<float>(y), 2);
  return {"begin2.pcx", quantize(img, {.dither = 0.5f}), 0};
}

}  // namespace

std::vector<Picture> opening_pictures() {
  std::vector<Picture> out;
  out.push_back(reveal_mask());
  out.push_back(glow_sprite());
  out.push_back(dawn_picture());
  out.push_back(space_picture());
  return out;
}

}  // namespace morvane::standin
