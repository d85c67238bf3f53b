#include "demo_parts/lightmap/light_rays.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap/light_map_kernels.h"
#include "engine/demo_rand.h"

namespace morvane {
namespace {

constexpr double kNearFraction = 0.03;

std::int16_t near_coordinate(int target, int source) {
  // Targets and sources are 16-bit and screen-sized, so the near point stays 16-bit.
  return static_cast<std::int16_t>(trunc_to_int((static_cast<double>(target) - source) * kNearFraction + source));
}

bool covered(MaskWindow mask, int x, int y) {
  // Row 0 and column 0 are never tested.
  return x > 0 && x < kFrameWidth && y > 0 && y < kFrameHeight && mask[static_cast<std::size_t>(y * kFrameWidth + x)] != 0;
}

}  // namespace

void place_near_point(Ray& ray, int sx, int sy) {
  ray.near_x = near_coordinate(ray.target_x, sx);
  ray.near_y = near_coordinate(ray.target_y, sy);
}

void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy) {
  for (Ray& ray : rays) {
    place_near_point(ray, sx, sy);
    ray.hidden = 0;
    draw_thick_line(sx, sy, ray.near_x, ray.near_y, kRayAmount, light);
    if (covered(mask, ray.near_x, ray.near_y)) ray.hidden = 1;
  }
  std::uint8_t* out = light.data();
  const std::uint8_t* cover = mask.data();
  for (int i = 0; i < kFramePixels; ++i) {
    if (cover[i] != 0) out[i] = 0;
  }
  for (const Ray& ray : rays) {
    if (ray.hidden == 0) draw_thick_line(ray.near_x, ray.near_y, ray.target_x, ray.target_y, kRayAmount, light);
  }
}

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

void aim_rays(std::span<Ray, kRayCount> rays) {
  for (int i = 0; i < kRayCount; ++i) {
    const double theta = (i * 360 / kRayCount) * kDegree;  // whole degrees
    const int r1 = demo_rand();
    const int r2 = demo_rand();
    Ray& ray = rays[static_cast<std::size_t>(i)];
    ray.target_x = static_cast<std::int16_t>(trunc_to_int(r1 * 640.0 / 32767 - 320 + 320 * std::sin(theta) + 160));
    ray.target_y = static_cast<std::int16_t>(trunc_to_int(r2 * 640.0 / 32767 - 320 + 200 * std::cos(theta) + 100));
    ray.near_x = 0;
    ray.near_y = 0;
    ray.hidden = 0;
  }
}

}  // namespace morvane
