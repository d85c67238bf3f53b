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

void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy, RayHits hits) {
  // The short rays stay between the source's row and their near points' rows.
  int top = sy;
  int bottom = sy;
  for (Ray& ray : rays) {
    place_near_point(ray, sx, sy);
    trace_thick_line(sx, sy, ray.near_x, ray.near_y, hits);
    ray.hidden = covered(mask, ray.near_x, ray.near_y) ? 1 : 0;
    top = std::min<int>(top, ray.near_y);
    bottom = std::max<int>(bottom, ray.near_y);
  }
  add_ray_hits(light, hits, mask, top, bottom + 2);
  for (const Ray& ray : rays) {
    if (ray.hidden == 0) trace_thick_line(ray.near_x, ray.near_y, ray.target_x, ray.target_y, hits);
  }
  add_ray_hits(light, hits);
}

namespace {

constexpr int kRightStop = kFrameWidth;  // a line may start one column past the screen
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

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

void trace_thick_line(int x0, int y0, int x1, int y1, RayHits hits) {
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

  // Clipped once: the steps whose corner lies on the screen. Both coordinates move one way
  // only, so they form one run, and it ends before the line could leave 0..320 x 0..200. A
  // line between two points on the screen (the short rays) has every step there.
  const auto on_screen = [](std::int64_t x, std::int64_t y) {
    return x >= 0 && x < kFrameWidth && y >= 0 && y < kFrameHeight;
  };
  std::int64_t first = 0;
  std::int64_t end = length;
  if (!on_screen(x0, y0) || !on_screen(x1, y1)) {
    const auto major_steps = [](std::int64_t moves) { return std::max<std::int64_t>(moves, 0); };
    const auto minor_steps = [&walk](std::int64_t moves) { return walk.first_step_with_minor_moves(moves); };
    const StepRange x_on = x_major ? steps_within(x0, sx, kFrameWidth - 1, major_steps)
                                   : steps_within(x0, sx, kFrameWidth - 1, minor_steps);
    const StepRange y_on = x_major ? steps_within(y0, sy, kFrameHeight - 1, minor_steps)
                                   : steps_within(y0, sy, kFrameHeight - 1, major_steps);
    first = std::max(x_on.first, y_on.first);
    end = std::min({length, x_on.end, y_on.end});
    if (first >= end) return;
  }

  const std::ptrdiff_t major_stride = x_major ? sx : sy * kRayHitStride;
  const std::ptrdiff_t minor_stride = x_major ? sy * kRayHitStride : sx;
  std::uint16_t* grid = hits.data();
  // An index rather than a pointer: off the screen it may point off the grid.
  std::ptrdiff_t at = std::ptrdiff_t{y0 + 1} * kRayHitStride + x0 + 1 + major_stride * first;

  // After k steps the minor coordinate has moved floor(k a / L + 1/2) times (L the major and a
  // the minor length). In 32.32 fixed point with the slope rounded up, the error after k steps
  // stays below k / 2^32, which cannot reach the next integer when it is under 1 / (2L): then
  // every step is found without the walk's chain of compares. Only lines far longer than the
  // screen need the exact walk.
  const std::int64_t minor_length = walk.minor2 / 2;
  if (2 * end * length < (std::int64_t{1} << 32)) {
    const std::int64_t slope = ((minor_length << 32) + length - 1) / length;
    std::int64_t position = (std::int64_t{1} << 31) + first * slope;
    // Two steps a round: the loop's own count and branch are a fair share of so short a body.
    // The cell on the major axis stays within the grid, its spare row included, up to one step
    // past the last.
    std::uint16_t* cell = grid + at;
    std::int64_t left = end - first;
    for (; left >= 2; left -= 2) {
      ++cell[(position >> 32) * minor_stride];
      ++cell[major_stride + ((position + slope) >> 32) * minor_stride];
      cell += 2 * major_stride;
      position += 2 * slope;
    }
    if (left != 0) ++cell[(position >> 32) * minor_stride];
    return;
  }
  // The walk at step `first`: the minor coordinate has moved floor((first minor2 + length) /
  // major2) times. The major one moves every step and crosses the screen within 321 steps, so
  // first is small and the products stay far inside 64 bits.
  const std::int64_t moved = (first * walk.minor2 + length) / walk.major2;
  std::int64_t error = walk.error + first * walk.minor2 - moved * walk.major2;
  at += minor_stride * moved;
  for (std::int64_t left = end - first; left > 0; --left) {
    ++grid[at];
    const bool moves = error >= 0;
    at += major_stride + (moves ? minor_stride : 0);
    error += walk.minor2 - (moves ? walk.major2 : 0);
  }
}

namespace {

// One row of the light from the hits of the blocks whose corner lies in its own row or the one
// above, in this column or the one to the left. The light and the hits never overlap; restrict
// (which the compilers this builds with all accept) says so, and the loop runs in vector lanes.
void add_hits_to_row(std::uint8_t* __restrict light_row, const std::uint16_t* __restrict above,
                     const std::uint16_t* __restrict hits_row) {
  for (std::size_t x = 0; x < kFrameWidth; ++x) {
    // At most 8191 lines' hits keep the sum within 15 bits, which allows signed 16-bit lanes.
    const auto count = static_cast<std::int16_t>(above[x] + above[x + 1] + hits_row[x] + hits_row[x + 1]);
    // Any count adds at most 63, and any level at or above 63 ends at 63.
    const auto add = static_cast<std::uint8_t>(std::min<std::int16_t>(count, kLineMax));
    const auto level = std::min<std::uint8_t>(light_row[x], kLineMax);
    const auto lit = std::min<std::uint8_t>(static_cast<std::uint8_t>(level + add), kLineMax);
    light_row[x] = count == 0 ? light_row[x] : lit;
  }
}

void put_out_covered(std::uint8_t* __restrict light, const std::uint8_t* __restrict cover) {
  for (int i = 0; i < kFramePixels; ++i) light[i] = cover[i] != 0 ? std::uint8_t{0} : light[i];
}

}  // namespace

void add_ray_hits(LightView light, RayHits hits, std::span<const std::uint8_t> cover, int first_row, int end_row) {
  first_row = std::clamp(first_row, 0, kFrameHeight);
  end_row = std::clamp(end_row, first_row, kFrameHeight);
  std::uint16_t* grid = hits.data();
  for (int y = first_row; y < end_row; ++y) {
    const std::uint16_t* above = grid + y * kRayHitStride;
    add_hits_to_row(light.data() + y * kFrameWidth, above, above + kRayHitStride);
  }
  // The grid rows those light rows read, the only ones that can hold hits.
  std::fill_n(grid + first_row * kRayHitStride, (end_row - first_row + 1) * kRayHitStride, std::uint16_t{0});
  if (cover.size() >= kFramePixels) put_out_covered(light.data(), cover.data());
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
