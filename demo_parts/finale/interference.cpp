#include "demo_parts/finale/interference.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr float kDegreeF = std::numbers::pi_v<float> / 180.0f;
constexpr int kTextureSide = 256;

// A window's corner: 200 - Y rows and 320 - X columns into the table.
int window_row(double wave) { return std::clamp(kFrameHeight - trunc_to_int(99.0 * wave + 100.0), 0, kRippleHeight - kFrameHeight); }
int window_column(double wave) { return std::clamp(kFrameWidth - trunc_to_int(159.0 * wave + 160.0), 0, kRippleWidth - kFrameWidth); }

}  // namespace

float interference_k(float t, float f) {
  return ((std::cos(0.0052359879f * t) + 1.0f) * f + 0.5f) * std::cos(0.4f * t * kDegreeF) *
         (1.4f * std::sin(t * kDegreeF) + 1.5f);
}

void build_wave_page(DoubledTextureView texture, float k, float t, WavePageView page) {
  const double drift = 2.7653 * t;
  for (int r = 0; r < kTextureSide; ++r) {
    const int whole_degrees = 360 * r / kTextureSide;
    const double wobble = 63.0 * std::sin((r * static_cast<double>(k) + drift) * kDegree) * std::sin(whole_degrees * kDegree);
    // Within 256 r + 1 .. 256 r + 127 for any finite time; the mask keeps any other value inside
    // the doubled texture too.
    const int start = trunc_to_int(wobble + kTextureSide * r + 64) & 0xFFFF;
    std::memcpy(page.data() + r * kTextureSide, texture.data() + start, kTextureSide);
  }
}

RippleWindows ripple_windows(float t) {
  return RippleWindows{
      window_row(std::cos(0.0127932638 * t)),
      window_column(std::sin(0.0142244338 * t)),
      window_row(std::sin(0.0146956727 * t)),
      window_column(std::cos(0.0161268427 * t)),
  };
}

void draw_interference(std::span<const std::uint16_t, kRippleEntries> ripple, RippleWindows windows, std::span<const std::uint8_t, kWavePageBytes> page,
                       LayerView colour) {
  const int a_row = std::clamp(windows.a_row, 0, kRippleHeight - kFrameHeight);
  const int a_column = std::clamp(windows.a_column, 0, kRippleWidth - kFrameWidth);
  const int b_row = std::clamp(windows.b_row, 0, kRippleHeight - kFrameHeight);
  const int b_column = std::clamp(windows.b_column, 0, kRippleWidth - kFrameWidth);
  const std::uint8_t* source = page.data();
  std::uint8_t* out = colour.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    const std::uint16_t* a = ripple.data() + (a_row + y) * kRippleWidth + a_column;
    const std::uint16_t* b = ripple.data() + (b_row + y) * kRippleWidth + b_column;
    for (int x = 0; x < kFrameWidth; ++x) *out++ = source[static_cast<std::uint16_t>(a[x] + b[x])];
  }
}

}  // namespace morvane
