#include "demo_parts/flight/picture_reveal.h"

#include <algorithm>
#include <array>

#include "demo_parts/float_to_int.h"

namespace morvane {

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

}  // namespace morvane
