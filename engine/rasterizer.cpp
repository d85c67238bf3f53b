#include "engine/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace morvane {
namespace {

constexpr int kLastRow = kFrameHeight - 1;
constexpr float kLastColumn = static_cast<float>(kFrameWidth - 1);
// Beyond this a float holds no fraction of a row, and walking the edges down to the screen
// would cost millions of steps for a single face.
constexpr float kFarRows = 16777216.0f;

// Truncation toward zero that cannot leave the int range (NaN gives 0).
std::uint32_t truncate_wrapped(float v) {
  if (!(v == v)) return 0;
  constexpr float kLimit = 2147483520.0f;  // largest float below 2^31
  const float clamped = std::clamp(v, -kLimit, kLimit);
  return static_cast<std::uint32_t>(static_cast<int>(clamped));
}

// How far the first row centre lies below the vertex, with the filler's own rule for whole
// heights (0 for odd, 1 for even: the nearest-even rounding of y - 0.5).
float subpixel(float y) { return 1.0f - (y - std::nearbyint(y - 0.5f)); }

float clamp_column(float x) {
  if (!(x >= 0.0f)) return 0.0f;  // also NaN
  return x > kLastColumn ? kLastColumn : x;
}

void span(std::span<Rgb565, kFramePixels> frame, int row, float xa, float xb, Rgb565 colour) {
  if (row <= 0 || row > kLastRow) return;
  float a = clamp_column(xa);
  float b = clamp_column(xb);
  if (a > b) std::swap(a, b);
  const int left = static_cast<int>(a);
  const int right = static_cast<int>(b);
  if (left >= right) return;
  Rgb565* line = frame.data() + row * kFrameWidth;
  std::fill(line + left, line + right, colour);
}

bool within_rows(float y) { return y > -kFarRows && y < kFarRows; }

}  // namespace

Rgb565 face_colour(const Face& face) {
  const std::uint32_t r = truncate_wrapped(face.red * 0.125f);
  const std::uint32_t g = truncate_wrapped(face.green * 0.25f);
  const std::uint32_t b = truncate_wrapped(face.blue * 0.125f);
  return static_cast<Rgb565>(r * 2048u + g * 32u + b);
}

void fill_triangle(std::span<Rgb565, kFramePixels> frame, const Face& face, const TransformedVertex& a,
                   const TransformedVertex& b, const TransformedVertex& c) {
  if (a.screen_y > kLastRow && b.screen_y > kLastRow && c.screen_y > kLastRow) return;
  if (a.screen_y < 0.0f && b.screen_y < 0.0f && c.screen_y < 0.0f) return;
  if (a.screen_x > kLastColumn && b.screen_x > kLastColumn && c.screen_x > kLastColumn) return;
  if (a.screen_x < 0.0f && b.screen_x < 0.0f && c.screen_x < 0.0f) return;

  const TransformedVertex* top = &a;
  const TransformedVertex* mid = &b;
  const TransformedVertex* bot = &c;
  if (top->screen_y > bot->screen_y) std::swap(top, bot);
  if (mid->screen_y < top->screen_y) std::swap(top, mid);
  if (bot->screen_y < mid->screen_y) std::swap(mid, bot);

  const float xt = top->screen_x, yt = top->screen_y;
  const float xm = mid->screen_x, ym = mid->screen_y;
  const float xb = bot->screen_x, yb = bot->screen_y;
  if (yb == yt) return;
  if (!within_rows(yt) || !within_rows(ym) || !within_rows(yb)) return;

  const float h = (xb - xt) / (yb - yt);
  const float d = ym != yt ? (xm - xt) / (ym - yt) : 0.0f;
  const float e = yb != ym ? (xb - xm) / (yb - ym) : 0.0f;

  const float st = subpixel(yt);
  float x_long = xt + st * h;
  float x_upper = xt + st * d;
  float x_lower = xm + subpixel(ym) * e;

  const int rt = static_cast<int>(std::ceil(yt));
  const int rm = static_cast<int>(std::ceil(ym));
  const int rb = static_cast<int>(std::ceil(yb));
  const Rgb565 colour = face_colour(face);

  // Rows past the bottom of the frame draw nothing, so the walk stops there; rows above the
  // top still step the edges so that the visible rows start from the same sums.
  if (rm - rt > 1) {
    const int end = std::min(rm, kFrameHeight);
    for (int i = rt; i < end; ++i) {
      span(frame, i, x_upper, x_long, colour);
      x_upper += d;
      x_long += h;
    }
  } else if (rm - rt == 1) {
    if (rt > 0 && rt < kFrameHeight) span(frame, rt, xt, xm, colour);
    x_long += h;
  }

  if (rb - rm > 1) {
    const int end = std::min(rb, kFrameHeight);
    for (int i = rm; i < end; ++i) {
      span(frame, i, x_lower, x_long, colour);
      x_lower += e;
      x_long += h;
    }
  }
}

}  // namespace morvane
