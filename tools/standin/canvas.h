#pragma once
// Working surfaces of the procedural pictures: a grid of values or of floating-point colours,
// drawn at full precision and only reduced to palette indices at the end.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace morvane::standin {

// Colour with components in [0, 1].
struct Rgb {
  float r = 0, g = 0, b = 0;
};

constexpr Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
constexpr Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
constexpr Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
constexpr Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
constexpr Rgb mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
constexpr Rgb rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
// Light added towards white without passing it.
constexpr Rgb screen(Rgb a, Rgb b) {
  return {1 - (1 - a.r) * (1 - b.r), 1 - (1 - a.g) * (1 - b.g), 1 - (1 - a.b) * (1 - b.b)};
}
inline Rgb clamp01(Rgb c) {
  return {std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f)};
}

constexpr float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
constexpr float smoothstep(float e0, float e1, float x) {
  const float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
constexpr float lerp(float a, float b, float t) { return a + (b - a) * t; }

template <class T>
class Grid {
 public:
  Grid() = default;
  Grid(int width, int height, T fill = T{})
      : width_(width), height_(height), cells_(static_cast<std::size_t>(width) * height, fill) {}

  int width() const { return width_; }
  int height() const { return height_; }
  T& at(int x, int y) { return cells_[static_cast<std::size_t>(y) * width_ + x]; }
  const T& at(int x, int y) const { return cells_[static_cast<std::size_t>(y) * width_ + x]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::vector<T>& cells() { return cells_; }
  const std::vector<T>& cells() const { return cells_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<T> cells_;
};

using ValueMap = Grid<float>;
using RgbImage = Grid<Rgb>;

// Calls f(x, y) for every pixel with the pixel's centre coordinates and stores the result.
template <class T, class F>
void fill(Grid<T>& grid, F&& f) {
  for (int y = 0; y < grid.height(); ++y)
    for (int x = 0; x < grid.width(); ++x) grid.at(x, y) = f(x + 0.5f, y + 0.5f);
}

// The mean of f over an n x n grid of sample points inside the pixel whose corner is (x, y).
template <class F>
auto supersample(F&& f, float x, float y, int n) {
  using R = decltype(f(x, y));
  R sum{};
  const float step = 1.0f / n;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) sum = sum + f(x + (i + 0.5f) * step, y + (j + 0.5f) * step);
  return sum * (1.0f / (n * n));
}

}  // namespace morvane::standin
