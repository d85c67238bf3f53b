#pragma once
// The camera flight's kernels: the fade table and the display-sized picture reveal it feeds,
// and the camera's path around the scene.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"
#include "engine/records.h"

namespace morvane {

// The reveal's fade table: 64 rows of the picture's palette as Pixel32 colours, row 0 the
// colours themselves at 5-6-5 precision, each further row brighter, row 63 nearly white.
inline constexpr int kFadeRows = 64;
inline constexpr int kFadeEntries = kFadeRows * 256;
inline constexpr int kFlightPaletteBytes = 768;

// Entry row x 256 + colour index.
void build_fade_table(std::span<const std::uint8_t, kFlightPaletteBytes> palette,
                      std::span<Pixel32, kFadeEntries> table);

// The reveal after the flash: the picture emerges from white at the full display size, zooming
// out from its centre, drawn straight into the Screen's 640 x 480 buffer.
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

// The flight's camera path: position, target and roll as functions of the local time, on
// unrelated periods so that the view never quite repeats.
// Writes field of view (a 45 mm lens), roll, target and position for local time t in ticks.
void place_flight_camera(Camera& camera, float t);

}  // namespace morvane
