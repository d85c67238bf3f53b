#include "tools/standin/gradient.h"

#include <cmath>

namespace morvane::standin {

Rgb Gradient::at(float t) const {
  if (stops_.empty()) return {};
  if (t <= stops_.front().t) return stops_.front().colour;
  for (std::size_t i = 1; i < stops_.size(); ++i) {
    if (t <= stops_[i].t) {
      const Stop& a = stops_[i - 1];
      const Stop& b = stops_[i];
      const float span = b.t - a.t;
      return mix(a.colour, b.colour, span > 0 ? (t - a.t) / span : 1.0f);
    }
  }
  return stops_.back().colour;
}

Rgb hsv(float hue, float s, float v) {
  const float h = (hue - std::floor(hue)) * 6.0f;
  const int sector = static_cast<int>(h) % 6;
  const float f = h - std::floor(h);
  const float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
  }
}

void put_ramp(Palette& palette, int first, int count, const Gradient& gradient) {
  for (int i = 0; i < count; ++i) {
    const Rgb c = clamp01(gradient.at(count > 1 ? static_cast<float>(i) / (count - 1) : 0.0f));
    const int k = (first + i) * 3;
    palette[k] = static_cast<std::uint8_t>(std::lround(c.r * 255));
    palette[k + 1] = static_cast<std::uint8_t>(std::lround(c.g * 255));
    palette[k + 2] = static_cast<std::uint8_t>(std::lround(c.b * 255));
  }
}

Rgb palette_colour(const Palette& palette, int index) {
  return rgb8(palette[index * 3], palette[index * 3 + 1], palette[index * 3 + 2]);
}

}  // namespace morvane::standin
