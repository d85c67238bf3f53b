#include "demo_parts/lightmap/light_rays.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

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
  // Written back either way, so the loop runs in vector lanes.
  for (int i = 0; i < kFramePixels; ++i) out[i] = cover[i] != 0 ? std::uint8_t{0} : out[i];
  for (const Ray& ray : rays) {
    if (ray.hidden == 0) draw_thick_line(ray.near_x, ray.near_y, ray.target_x, ray.target_y, kRayAmount, light);
  }
}

namespace {

constexpr int kRightStop = kFrameWidth;    // x may reach 320, one column past the screen
constexpr int kBottomStop = kFrameHeight;  // y may reach 200
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

std::uint8_t add_capped(std::uint8_t value, int amount) {
  const int sum = value + amount;
  return static_cast<std::uint8_t>(sum > kLineMax ? kLineMax : sum);
}

// A block in the right column or the bottom row, or one past them: only its pixels on the screen.
void plot_edge_block(std::uint8_t* light, int x, int y, int amount) {
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      if (x + dx < kFrameWidth && y + dy < kFrameHeight) {
        std::uint8_t& q = light[(y + dy) * kFrameWidth + x + dx];
        q = add_capped(q, amount);
      }
    }
  }
}

// The line as a walk along its major axis: every step moves the major coordinate by one, and
// the minor one too whenever the error before the step is not negative. After i >= 1 steps the
// minor coordinate has moved floor((e0 + (i - 1) minor2 + major2) / major2) times, which lets
// the clipping find where the walk crosses a row or column without taking the steps.
struct Walk {
  std::int64_t major2;  // twice the major length
  std::int64_t minor2;  // twice the minor length, at most major2
  std::int64_t error;   // e0, before the first step

  // The first step after which the minor coordinate has moved `moves` times.
  std::int64_t first_step_with_minor_moves(std::int64_t moves) const {
    if (moves <= 0) return 0;
    if (minor2 == 0) return kNever;
    const std::int64_t need = (moves - 1) * major2 - error;
    return need <= 0 ? 1 : 1 + (need + minor2 - 1) / minor2;
  }
};

// Steps [first, end) of a walk during which a coordinate lies in 0..high.
struct StepRange {
  std::int64_t first;
  std::int64_t end;
};

// The coordinate starts at `start` >= 0 and goes in direction `sign`; `first_step(k)` is the
// first step after which it has moved k times.
template <class FirstStep>
StepRange steps_within(int start, int sign, int high, FirstStep first_step) {
  if (sign > 0) return {0, first_step(std::int64_t{high} - start + 1)};
  return {first_step(std::int64_t{start} - high), first_step(std::int64_t{start} + 1)};
}

}  // namespace

void draw_thick_line(int x0, int y0, int x1, int y1, int amount, LightView light) {
  if (x0 > kRightStop || y0 > kFrameHeight - 1 || x0 < 0 || y0 < 0) return;
  // 64-bit error terms: the far end may be any int.
  const std::int64_t dx = std::int64_t{x1} - x0;
  const std::int64_t dy = std::int64_t{y1} - y0;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool x_major = std::llabs(dx) > std::llabs(dy);
  const std::int64_t length = x_major ? std::llabs(dx) : std::llabs(dy);
  if (length == 0) return;
  Walk walk{2 * length, 2 * (x_major ? std::llabs(dy) : std::llabs(dx)), 0};
  walk.error = walk.minor2 - length;

  // Clipped once: the line stops for good where it leaves 0..320 x 0..200, and blocks wholly on
  // the screen (corner within 0..318 x 0..198) need no check. Both coordinates move one way
  // only, so each condition holds over one run of steps.
  const auto major_steps = [](std::int64_t moves) { return std::max<std::int64_t>(moves, 0); };
  const auto minor_steps = [&walk](std::int64_t moves) { return walk.first_step_with_minor_moves(moves); };
  const auto x_steps = [&](int high) {
    return x_major ? steps_within(x0, sx, high, major_steps) : steps_within(x0, sx, high, minor_steps);
  };
  const auto y_steps = [&](int high) {
    return x_major ? steps_within(y0, sy, high, minor_steps) : steps_within(y0, sy, high, major_steps);
  };
  const std::int64_t drawn = std::min({length, x_steps(kRightStop).end, y_steps(kBottomStop).end});
  const StepRange x_whole = x_steps(kFrameWidth - 2);
  const StepRange y_whole = y_steps(kFrameHeight - 2);
  const std::int64_t whole_first = std::min(std::max(x_whole.first, y_whole.first), drawn);
  const std::int64_t whole_end = std::max(std::min({x_whole.end, y_whole.end, drawn}), whole_first);

  // The walk in its own axes: major and minor coordinate and direction.
  int major = x_major ? x0 : y0;
  int minor = x_major ? y0 : x0;
  const int major_sign = x_major ? sx : sy;
  const int minor_sign = x_major ? sy : sx;
  std::int64_t error = walk.error;
  std::uint8_t* out = light.data();
  // Partly visible blocks before and after the whole ones: a few steps at either end at most,
  // except along the right column or bottom row.
  const auto edge_steps = [&](std::int64_t count) {
    for (; count > 0; --count) {
      plot_edge_block(out, x_major ? major : minor, x_major ? minor : major, amount);
      if (error >= 0) {
        minor += minor_sign;
        error -= walk.major2;
      }
      error += walk.minor2;
      major += major_sign;
    }
  };
  edge_steps(whole_first);
  if (const std::int64_t count = whole_end - whole_first; count > 0) {
    const std::ptrdiff_t major_stride = x_major ? sx : sy * kFrameWidth;
    const std::ptrdiff_t minor_stride = x_major ? sy * kFrameWidth : sx;
    // An index rather than a pointer: after the last whole block it may point off the buffer.
    std::ptrdiff_t at = x_major ? std::ptrdiff_t{minor} * kFrameWidth + major : std::ptrdiff_t{major} * kFrameWidth + minor;
    std::int64_t minor_moves = 0;
    for (std::int64_t left = count; left > 0; --left) {
      std::uint8_t* p = out + at;
      p[0] = add_capped(p[0], amount);
      p[1] = add_capped(p[1], amount);
      p[kFrameWidth] = add_capped(p[kFrameWidth], amount);
      p[kFrameWidth + 1] = add_capped(p[kFrameWidth + 1], amount);
      // Selects rather than a branch: on most slopes whether the minor coordinate moves is
      // too irregular to predict.
      const bool moves = error >= 0;
      at += major_stride + (moves ? minor_stride : 0);
      minor_moves += moves;
      error += walk.minor2 - (moves ? walk.major2 : 0);
    }
    // At most 321 steps fit between the edges, so the counts stay small.
    major += major_sign * static_cast<int>(count);
    minor += minor_sign * static_cast<int>(minor_moves);
  }
  edge_steps(drawn - whole_end);
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
