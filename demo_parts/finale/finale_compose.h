#pragma once
// How a finale frame is put together: the two layers through the texture's shade table, the
// closing black bars and middle line, and the overlay strip laid over the blended frame.
#include <cstdint>
#include <span>

#include "demo_parts/finale/finale_tables.h"
#include "contracts/pixel.h"

namespace morvane {

// 128 levels: additive 64, then white 64.
inline constexpr int kFinaleShadeLevels = 128;
inline constexpr int kFinaleShadeEntries = kFinaleShadeLevels * 256;
// Bars close to 99 rows each, which leaves rows 99 and 100 for the closing line.
inline constexpr int kMaxBarHeight = 99;
inline constexpr int kOverlayColumn = 70;

using FinaleShadeView = std::span<const Rgb565, kFinaleShadeEntries>;
using ConstLayerView = std::span<const std::uint8_t, kFramePixels>;
using FrameView = std::span<Rgb565, kFramePixels>;

// out[i] = shade[(flash + light[i]) x 256 + colour[i]]. Levels past the table's last (127,
// white) read the last level: more light never reads outside the table.
void combine_layers(FinaleShadeView shade, int flash, ConstLayerView light, ConstLayerView colour, FrameView out);

// Blacks rows 0..height - 1 and 200 - height..199 (height limited to 0..99).
void close_bars(FrameView frame, int height);

// Blacks the first and the last n pixels of rows 99 and 100 (n limited to 0..160).
void close_middle_line(FrameView frame, int n);

// Lays the 180 x 200 window of the overlay that starts at pixel index scroll over the frame's
// columns 70..249; pixels of value 0 are left out. A window that would run past the overlay's
// end starts at the last one that fits.
void draw_overlay(std::span<const Rgb565, kOverlayPixels> overlay, int scroll, FrameView frame);

}  // namespace morvane
