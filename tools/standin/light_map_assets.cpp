#include "tools/standin/light_map_assets.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/standin/filters.h"
#include "tools/standin/font.h"
#include "tools/standin/gradient.h"
#include "tools/standin/noise.h"
#include "tools/standin/quantizer.h"
#include "tools/standin/rng.h"
#include "tools/standin/shapes.h"

namespace morvane::standin {

namespace {

constexpr float kTau = 6.28318531f;

// ---- "gl_pic.pcx": a rose window and two lancets in a stone wall ----------------------------

struct GlassSeed {
  Vec2 position;
  Rgb colour;
};

std::vector<GlassSeed> rose_seeds() {
  // Rings of cells with twelve-fold symmetry; colours alternate within a ring.
  struct Ring {
    float radius;
    int count;
    float phase;
    Rgb a, b;
  };
  const Ring rings[] = {
      {0.0f, 1, 0.0f, rgb8(250, 200, 70), rgb8(250, 200, 70)},
      {20.0f, 6, 0.0f, rgb8(230, 60, 50), rgb8(240, 140, 40)},
      {40.0f, 12, 0.5f, rgb8(40, 70, 200), rgb8(70, 150, 220)},
      {60.0f, 12, 0.0f, rgb8(200, 40, 90), rgb8(240, 170, 60)},
      {78.0f, 24, 0.5f, rgb8(30, 150, 120), rgb8(60, 60, 190)},
  };
  std::vector<GlassSeed> seeds;
  for (const Ring& r : rings)
    for (int k = 0; k < r.count; ++k) {
      const float angle = (static_cast<float>(k) + r.phase) * kTau / static_cast<float>(r.count);
      seeds.push_back({{160.0f + r.radius * std::cos(angle), 100.0f + r.radius * std::sin(angle)},
                       k % 2 == 0 ? r.a : r.b});
    }
  return seeds;
}

Rgb stone(float x, float y) {
  // Courses of blocks, every other course shifted by half a block.
  const float course = std::floor(y / 20.0f);
  const float shift = std::fmod(course, 2.0f) * 20.0f;
  const float bx = std::fmod(x + shift, 40.0f), by = std::fmod(y, 20.0f);
  const float joint = std::min({bx, 40.0f - bx, by, 20.0f - by});
  const float block_tone = hash_unit(static_cast<int>((x + shift) / 40.0f), static_cast<int>(course), 307u);
  const float grain = fbm(x / 7.0f, y / 7.0f, 512, 512, 4, 0.55f, 311u);
  Rgb c = mix(rgb8(92, 80, 74), rgb8(128, 112, 98), 0.5f * block_tone + 0.5f * grain);
  c = c * (0.55f + 0.45f * smoothstep(0.5f, 2.5f, joint));
  return c;
}

// Glass: a cell colour, brighter towards the cell's middle, mottled, with lead between cells.
Rgb glass(Rgb colour, float d1, float d2, float x, float y) {
  const float edge = (d2 - d1) * 0.5f;
  const float mottle = fbm(x / 5.0f, y / 5.0f, 512, 512, 3, 0.5f, 331u);
  Rgb c = colour * (0.55f + 0.35f * smoothstep(0.0f, 10.0f, edge) + 0.25f * mottle);
  return mix(rgb8(16, 14, 20), c, smoothstep(0.9f, 1.8f, edge));
}

Rgb cathedral(float x, float y, const std::vector<GlassSeed>& seeds) {
  const Vec2 p{x, y};
  const float rd = length(p - Vec2{160.0f, 100.0f});
  Rgb c = stone(x, y);
  // Lancet windows with pointed arches at both sides.
  for (float cx : {34.0f, 286.0f}) {
    const float half = 17.0f;
    float d = sd_box(p, {cx, 118.0f}, {half, 52.0f});
    // The arch: two circles of radius 2 x half meeting above the box.
    const float arch = std::max(sd_circle(p, {cx + half, 66.0f}, 2.0f * half), sd_circle(p, {cx - half, 66.0f}, 2.0f * half));
    if (y < 66.0f) d = std::max(arch, std::fabs(x - cx) - half);
    if (d < 4.0f) {
      c = mix(c, rgb8(150, 134, 118), coverage(d - 3.0f));  // stone surround
      // Diamond lattice of alternating blue and red panes.
      const float u = (x - cx + y) / 12.0f, v = (y - x + cx) / 12.0f;
      const float fu = u - std::floor(u), fv = v - std::floor(v);
      const float lead = std::min({fu, 1.0f - fu, fv, 1.0f - fv}) * 12.0f * 0.7071f;
      const int cell = static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(v));
      const Rgb pane = (cell & 1) ? rgb8(50, 80, 210) : rgb8(190, 40, 60);
      const Rgb g = glass(pane, 0.0f, lead * 2.0f, x, y);
      c = mix(c, g, coverage(d));
    }
  }
  // The rose window: tracery ring, then the glass cells.
  if (rd < 100.0f) {
    c = mix(c, rgb8(160, 144, 126) * (0.8f + 0.2f * fbm(x / 6.0f, y / 6.0f, 512, 512, 3, 0.5f, 337u)),
            coverage(rd - 99.0f));
    const float notch = std::fabs(std::sin(std::atan2(y - 100.0f, x - 160.0f) * 12.0f));
    c = c * (1.0f - 0.25f * smoothstep(0.9f, 1.0f, notch) * smoothstep(92.0f, 96.0f, rd));
  }
  if (rd < 92.0f) {
    float d1 = 1e9f, d2 = 1e9f;
    Rgb cell{};
    for (const GlassSeed& s : seeds) {
      const float d = length(p - s.position);
      if (d < d1) {
        d2 = d1;
        d1 = d;
        cell = s.colour;
      } else if (d < d2) {
        d2 = d;
      }
    }
    // The rim of the window counts as lead too.
    d2 = std::min(d2, d1 + 2.0f * (92.0f - rd));
    c = mix(c, glass(cell, d1, d2, x, y), coverage(rd - 91.0f));
  }
  return c;
}

Picture stained_glass() {
  const std::vector<GlassSeed> seeds = rose_seeds();
  RgbImage img(320, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 320; ++x)
      img.at(x, y) = supersample([&](float sx, float sy) { return cathedral(sx, sy, seeds); },
                                 static_cast<float>(x), static_cast<float>(y), 2);
  return {"gl_pic.pcx", quantize(img, {.dither = 0.4f}), 0};
}

// ---- "gl_tex.pcx": light levels 0..127 for the rotating frame -------------------------------
// Every frame piece shows the whole texture, so its border glows brightest and outlines the
// pieces; inside, rings of light ripple around the centre.
Picture frame_texture() {
  ValueMap m(256, 256);
  fill(m, [](float x, float y) {
    const float u = (x - 128.0f) / 128.0f, v = (y - 128.0f) / 128.0f;
    const float border = std::max(std::fabs(u), std::fabs(v));
    const float rim = std::exp(-(1.0f - border) * 18.0f);
    const float rings = 0.5f + 0.5f * std::cos(std::sqrt(u * u + v * v) * 26.0f);
    const float squares = 0.5f + 0.5f * std::cos(border * 40.0f);
    const float n = fbm(x / 16.0f, y / 16.0f, 16, 16, 3, 0.5f, 401u);
    const float inner = 22.0f + 50.0f * rings * squares + 25.0f * n;
    return std::min(127.0f, inner * (1.0f - rim) + 127.0f * rim);
  });
  return {"gl_tex.pcx", to_value_picture(m, 127), 127};
}

// ---- "flares.pcx": five flare images of 160 x 100, values 0..48 ------------------------------

float flare_value(int image, float x, float y) {
  const Vec2 p{x - 80.0f, y - 50.0f};
  const float r = length(p);
  // Everything fades out before the image border, so no rectangle edge can show.
  const float keep = (1.0f - smoothstep(40.0f, 49.0f, std::fabs(p.y))) * (1.0f - smoothstep(68.0f, 79.0f, std::fabs(p.x)));
  float v = 0.0f;
  switch (image) {
    case 0: {  // the source: a hot core, a six-pointed star and a long horizontal streak
      const float angle = std::atan2(p.y, p.x);
      const float star = std::pow(std::fabs(std::cos(angle * 3.0f)), 24.0f) * std::exp(-r / 22.0f);
      const float streak = std::exp(-std::fabs(p.y) / 1.6f) * std::exp(-std::fabs(p.x) / 34.0f);
      v = 48.0f * std::exp(-r * r / 60.0f) + 20.0f * std::exp(-r / 14.0f) + 26.0f * star + 30.0f * streak;
      break;
    }
    case 1:  // a wide thin halo
      v = 22.0f * std::exp(-(r - 36.0f) * (r - 36.0f) / 6.0f) + 5.0f * std::exp(-r / 30.0f);
      break;
    case 2: {  // a small hexagonal ghost with a brighter edge
      const float d = sd_hexagon(p, {0, 0}, 16.0f);
      v = d < 0 ? 12.0f + 12.0f * std::exp(d / 2.0f) : 16.0f * std::exp(-d * d / 1.5f);
      break;
    }
    case 3:  // a bright dot inside a faint ring
      v = 40.0f * std::exp(-r * r / 20.0f) + 12.0f * std::exp(-(r - 20.0f) * (r - 20.0f) / 3.0f);
      break;
    default: {  // a large soft hexagon, the farthest ghost
      const float d = sd_hexagon(p, {0, 0}, 38.0f);
      v = d < 0 ? 6.0f + 10.0f * std::exp(d / 3.0f) : 12.0f * std::exp(-d * d / 3.0f);
      break;
    }
  }
  return std::clamp(v * keep, 0.0f, 48.0f);
}

Picture flare_sheet() {
  ValueMap m(160, 500);
  for (int f = 0; f < 5; ++f)
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 160; ++x)
        m.at(x, f * 100 + y) = supersample([f](float sx, float sy) { return flare_value(f, sx, sy); },
                                           static_cast<float>(x), static_cast<float>(y), 2);
  return {"flares.pcx", to_value_picture(m, 48), 48};
}

// ---- "liglog.pcx": 320 x 400 mask, non-zero covers the light ---------------------------------
// The scene first shows rows 210..409 (a colonnade the light shines through) and then rises to
// rows 10..209 (the group's name above the temple).
float temple(float x, float y) {
  const Vec2 p{x, y};
  float d = 1e9f;
  // Pediment and entablature.
  const Vec2 roof[] = {{14.0f, 214.0f}, {160.0f, 186.0f}, {306.0f, 214.0f}};
  d = std::min(d, sd_polygon(p, roof));
  d = std::min(d, sd_box(p, {160.0f, 220.0f}, {146.0f, 6.0f}));
  d = std::min(d, sd_box(p, {160.0f, 232.0f}, {138.0f, 5.0f}));
  // Six columns with capitals and bases.
  for (int k = 0; k < 6; ++k) {
    const float cx = 40.0f + 48.0f * static_cast<float>(k);
    d = std::min(d, sd_box(p, {cx, 304.0f}, {10.0f, 66.0f}));
    d = std::min(d, sd_box(p, {cx, 241.0f}, {15.0f, 4.0f}));
    d = std::min(d, sd_box(p, {cx, 366.0f}, {14.0f, 4.0f}));
  }
  // Three steps down to the ground.
  d = std::min(d, sd_box(p, {160.0f, 375.0f}, {140.0f, 5.0f}));
  d = std::min(d, sd_box(p, {160.0f, 385.0f}, {150.0f, 5.0f}));
  d = std::min(d, sd_box(p, {160.0f, 395.0f}, {170.0f, 6.0f}));
  return d;
}

Picture logo_mask() {
  constexpr float kScale = 9.0f;
  const ValueMap top = render_text("QUILL", 320, 400, centred_x("QUILL", 160.0f, kScale), 38.0f, kScale);
  const ValueMap bottom = render_text("FEN", 320, 400, centred_x("FEN", 160.0f, kScale), 114.0f, kScale);
  IndexedImage img(320, 400);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 320; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      // Bars either side of the second line, and a rule under it.
      float d = std::min(sd_box(p, {40.0f, 146.0f}, {36.0f, 5.0f}), sd_box(p, {280.0f, 146.0f}, {36.0f, 5.0f}));
      d = std::min(d, sd_box(p, {160.0f, 190.0f}, {120.0f, 2.0f}));
      d = std::min(d, temple(p.x, p.y));
      const bool covered = d <= 0.0f || top.at(x, y) >= 0.5f || bottom.at(x, y) >= 0.5f;
      img.at(x, y) = covered ? 255 : 0;
    }
  img.palette = grey_palette(255);
  return {"liglog.pcx", std::move(img), 0};
}

}  // namespace

std::vector<Picture> light_map_assets() {
  std::vector<Picture> out;
  out.push_back(stained_glass());
  out.push_back(frame_texture());
  out.push_back(flare_sheet());
  out.push_back(logo_mask());
  return out;
}

}  // namespace morvane::standin
