#pragma once
// The reveal after the flash: the picture emerges from white at the full display size, zooming
// out from its centre, drawn straight into the Screen's 640 x 480 buffer.
#include <cstdint>
#include <span>

#include "demo_parts/flight/fade_table.h"
#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kDisplayPixels = kDisplayWidth * kDisplayHeight;
// The picture covers display rows 40 to 439; the bands above and below are left as they are.
inline constexpr int kRevealTop = 40;
inline constexpr int kRevealRows = 400;
// Ticks from the flash until the fade reaches the picture's own colours, and until the zoom
// shows the whole picture.
inline constexpr float kRevealFadeTicks = 63.0f;
inline constexpr float kRevealZoomTicks = 255.0f;

// One frame's view of the picture: the fade row and the source window in 16.16 fixed point.
struct RevealView {
  int fade_row;
  std::int32_t x_start;
  std::int32_t x_step;  // per display column
  std::int32_t y_start;
  std::int32_t y_step;  // per display row
};

// The view at local time t for a reveal whose zoom ends at zoom_end and whose fade ends at
// fade_end (the flash time plus 255 and plus 63).
RevealView reveal_view(float t, float zoom_end, float fade_end);

// Display rows 40..439: fade row [picture[(y >> 16) x 320 + (x >> 16)]].
void draw_reveal(const RevealView& view, std::span<const std::uint8_t, kFramePixels> picture,
                 std::span<const Pixel32, kFadeEntries> fade, std::span<Pixel32, kDisplayPixels> pixels);

}  // namespace morvane
