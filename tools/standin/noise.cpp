#include "tools/standin/noise.h"

#include <cmath>
#include <limits>

#include "tools/standin/rng.h"

namespace morvane::standin {

namespace {

int wrap(int v, int period) {
  const int m = v % period;
  return m < 0 ? m + period : m;
}

float quintic(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

float value_noise(float x, float y, int period_x, int period_y, std::uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const float tx = quintic(x - fx);
  const float ty = quintic(y - fy);
  const int x0 = wrap(ix, period_x), x1 = wrap(ix + 1, period_x);
  const int y0 = wrap(iy, period_y), y1 = wrap(iy + 1, period_y);
  const float a = hash_unit(x0, y0, seed), b = hash_unit(x1, y0, seed);
  const float c = hash_unit(x0, y1, seed), d = hash_unit(x1, y1, seed);
  const float top = a + (b - a) * tx;
  const float bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float fbm(float x, float y, int period_x, int period_y, int octaves, float gain, std::uint32_t seed) {
  float sum = 0.0f, weight = 1.0f, total = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += weight * value_noise(x, y, period_x, period_y, seed + static_cast<std::uint32_t>(o) * 101u);
    total += weight;
    weight *= gain;
    x *= 2.0f;
    y *= 2.0f;
    period_x *= 2;
    period_y *= 2;
  }
  return sum / total;
}

CellSample cellular(float x, float y, int period_x, int period_y, std::uint32_t seed) {
  const int cx = static_cast<int>(std::floor(x));
  const int cy = static_cast<int>(std::floor(y));
  float best = std::numeric_limits<float>::max(), second = best;
  std::uint32_t best_hash = 0;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int gx = cx + dx, gy = cy + dy;
      const int wx = wrap(gx, period_x), wy = wrap(gy, period_y);
      const std::uint32_t h = hash3(wx, wy, seed);
      const float px = static_cast<float>(gx) + 0.1f + 0.8f * hash_unit(wx, wy, seed + 1u);
      const float py = static_cast<float>(gy) + 0.1f + 0.8f * hash_unit(wx, wy, seed + 2u);
      const float d = std::hypot(px - x, py - y);
      if (d < best) {
        second = best;
        best = d;
        best_hash = h;
      } else if (d < second) {
        second = d;
      }
    }
  }
  return {best, second, best_hash};
}

}  // namespace morvane::standin
