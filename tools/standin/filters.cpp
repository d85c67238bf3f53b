#include "tools/standin/filters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace morvane::standin {

namespace {

void box_line(const float* in, float* out, int n, std::ptrdiff_t stride, int radius, bool wrap) {
  auto get = [&](int i) {
    if (wrap) i = ((i % n) + n) % n;
    else i = std::clamp(i, 0, n - 1);
    return in[i * stride];
  };
  const float norm = 1.0f / static_cast<float>(2 * radius + 1);
  float sum = 0.0f;
  for (int i = -radius; i <= radius; ++i) sum += get(i);
  for (int i = 0; i < n; ++i) {
    out[i * stride] = sum * norm;
    sum += get(i + radius + 1) - get(i - radius);
  }
}

}  // namespace

ValueMap blur(const ValueMap& map, int radius, bool wrap) {
  if (radius <= 0) return map;
  ValueMap a = map, b = map;
  const int w = map.width(), h = map.height();
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < h; ++y) box_line(&a.at(0, y), &b.at(0, y), w, 1, radius, wrap);
    for (int x = 0; x < w; ++x) box_line(&b.at(x, 0), &a.at(x, 0), h, w, radius, wrap);
  }
  return a;
}

IndexedImage to_value_picture(const ValueMap& map, int max_value) {
  IndexedImage out(map.width(), map.height());
  for (std::size_t i = 0; i < out.pixels.size(); ++i) {
    const float v = std::clamp(map.cells()[i], 0.0f, static_cast<float>(max_value));
    out.pixels[i] = static_cast<std::uint8_t>(std::lround(v));
  }
  out.palette = grey_palette(max_value);
  return out;
}

}  // namespace morvane::standin
