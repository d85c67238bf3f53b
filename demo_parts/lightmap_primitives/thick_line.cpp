#include "demo_parts/lightmap_primitives/thick_line.h"

#include <cstdint>
#include <cstdlib>

namespace morvane {
namespace {

constexpr int kRightStop = kFrameWidth;    // x may reach 320, one column past the screen
constexpr int kBottomStop = kFrameHeight;  // y may reach 200

std::uint8_t add_capped(std::uint8_t value, int amount) {
  const int sum = value + amount;
  return static_cast<std::uint8_t>(sum > kLineMax ? kLineMax : sum);
}

void plot_block(std::uint8_t* light, int x, int y, int amount) {
  std::uint8_t* p = light + y * kFrameWidth + x;
  if (x < kFrameWidth - 1 && y < kFrameHeight - 1) {
    p[0] = add_capped(p[0], amount);
    p[1] = add_capped(p[1], amount);
    p[kFrameWidth] = add_capped(p[kFrameWidth], amount);
    p[kFrameWidth + 1] = add_capped(p[kFrameWidth + 1], amount);
    return;
  }
  // The right column or the bottom row: only the block pixels on the screen.
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      if (x + dx < kFrameWidth && y + dy < kFrameHeight) {
        std::uint8_t& q = light[(y + dy) * kFrameWidth + x + dx];
        q = add_capped(q, amount);
      }
    }
  }
}

bool outside(int x, int y) { return x > kRightStop || x < 0 || y > kBottomStop || y < 0; }

}  // namespace

void draw_thick_line(int x0, int y0, int x1, int y1, int amount, LightView light) {
  if (x0 > kRightStop || y0 > kFrameHeight - 1 || x0 < 0 || y0 < 0) return;
  // 64-bit error terms: the far end may be any int.
  const std::int64_t dx = std::int64_t{x1} - x0;
  const std::int64_t dy = std::int64_t{y1} - y0;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const std::int64_t ax = 2 * std::llabs(dx);
  const std::int64_t ay = 2 * std::llabs(dy);
  std::uint8_t* out = light.data();
  int x = x0;
  int y = y0;
  // Every step moves the major coordinate by one while it stays in 0..320 x 0..200, so either
  // loop ends after a few hundred steps at most.
  if (ax > ay) {
    std::int64_t error = ay - std::llabs(dx);
    if (x0 == x1) return;
    do {
      if (outside(x, y)) return;
      plot_block(out, x, y, amount);
      if (error >= 0) {
        y += sy;
        error -= ax;
      }
      error += ay;
      x += sx;
    } while (x != x1);
  } else {
    std::int64_t error = ax - std::llabs(dy);
    if (y0 == y1) return;
    do {
      if (outside(x, y)) return;
      plot_block(out, x, y, amount);
      if (error >= 0) {
        x += sx;
        error -= ay;
      }
      error += ax;
      y += sy;
    } while (y != y1);
  }
}

}  // namespace morvane
