#include "demo_parts/flight/flight_kernels.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "demo_parts/float_to_int.h"
#include "demo_parts/kernel_constants.h"
#include "engine/camera_view.h"

namespace morvane {

void build_fade_table(std::span<const std::uint8_t, kFlightPaletteBytes> palette,
                      std::span<Pixel32, kFadeEntries> table) {
  // Each row lifts every component by the same share of its range; the sums are exact in float
  // (multiples of 1/8 and 1/4), and the scaled values stay within 0..251.
  constexpr float n = kFadeRows;
  for (int i = 0; i < kFadeRows; ++i) {
    const float lift5 = 32.0f * static_cast<float>(i) / n;
    const float lift6 = 64.0f * static_cast<float>(i) / n;
    for (int k = 0; k < 256; ++k) {
      const std::uint8_t* colour = palette.data() + 3 * k;
      const float r = std::min(31.0f, static_cast<float>(colour[0]) * 0.125f + lift5);
      const float g = std::min(63.0f, static_cast<float>(colour[1]) * 0.25f + lift6);
      const float b = std::min(31.0f, static_cast<float>(colour[2]) * 0.125f + lift5);
      const auto red = static_cast<Pixel32>(r * 7.96875f);
      const auto green = static_cast<Pixel32>(g * 3.984375f);
      const auto blue = static_cast<Pixel32>(b * 7.96875f);
      table[static_cast<std::size_t>(i * 256 + k)] = red * 65536 + green * 256 + blue;
    }
  }
}

RevealView reveal_view(float t, float zoom_end, float fade_end) {
  // Kept within the table even if the clock were to run backwards.
  const int fade_row = std::clamp(trunc_to_int(fade_end - t), 0, kFadeRows - 1);
  // The zoom runs from about 0.504 at the flash to 1 when l reaches 0.
  const float l = std::max(zoom_end - t, 0.0f);
  const float m = static_cast<float>(std::clamp(0.5 - (l * l + 0.01) * (1.0 / 65536) * 0.5, 0.0, 0.5));
  const float z = m + 0.5f;
  const float x_start = 320 - 320 * z;
  const float x_end = 320 * z;
  const float y_start = 200 - 200 * z;
  const float y_end = 200 * z;
  // 102.4 = 65536 / 640 and 163.84 = 65536 / 400: the window spread over the display area.
  return RevealView{fade_row, trunc_to_int(x_start * 65536.0f), trunc_to_int((x_end - x_start) * 102.4),
                    trunc_to_int(y_start * 65536.0f), trunc_to_int((y_end - y_start) * 163.84)};
}

void draw_reveal(const RevealView& view, std::span<const std::uint8_t, kFramePixels> picture,
                 std::span<const Pixel32, kFadeEntries> fade, std::span<Pixel32, kDisplayPixels> pixels) {
  // Every row steps through the same source columns, so they are worked out once per frame;
  // the clamps cost nothing per pixel and keep any view inside the picture.
  std::array<std::uint16_t, kDisplayWidth> columns;
  std::int64_t x = view.x_start;
  for (auto& column : columns) {
    column = static_cast<std::uint16_t>(std::clamp<std::int64_t>(x >> 16, 0, kFrameWidth - 1));
    x += view.x_step;
  }
  const Pixel32* row_fade = fade.data() + std::clamp(view.fade_row, 0, kFadeRows - 1) * 256;
  Pixel32* out = pixels.data() + kRevealTop * kDisplayWidth;
  std::int64_t y = view.y_start;
  for (int row = 0; row < kRevealRows; ++row, y += view.y_step, out += kDisplayWidth) {
    const std::uint8_t* source = picture.data() + std::clamp<std::int64_t>(y >> 16, 0, kFrameHeight - 1) * kFrameWidth;
    for (int i = 0; i < kDisplayWidth; ++i) out[i] = row_fade[source[columns[static_cast<std::size_t>(i)]]];
  }
}

namespace {

// The path is worked out in double precision, with a degree to eight digits, and only the
// results are stored as the camera's floats.

float degrees_cos(double angle, double radius) { return static_cast<float>(std::cos(angle * kDegree8) * radius); }
float degrees_sin(double angle, double radius) { return static_cast<float>(std::sin(angle * kDegree8) * radius); }

}  // namespace

void place_flight_camera(Camera& camera, float t) {
  const double s = t;
  camera.field_of_view = lens_to_field_of_view(45.0f);
  // One roll cycle every 9000 ticks; the argument is already in radians.
  camera.roll = static_cast<float>(std::cos(s * kDegrees0_04) * 180);
  camera.target = {degrees_cos(s * 0.48 + 120, 160), degrees_sin(s * 0.42 + 240, 160),
                   degrees_sin(s * 0.665 + 360, 160)};
  camera.position = {degrees_sin(s * 0.6175, 660), degrees_sin(s * 0.712 + 120, 660),
                     degrees_sin(s * 0.656 + 240, 660)};
}

}  // namespace morvane
