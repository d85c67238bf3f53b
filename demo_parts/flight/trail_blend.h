#pragma once
// Trails: every new render is averaged half and half into the frame that was shown before.
#include <span>

#include "screen/pixel.h"

namespace morvane {

// frame = (render >> 1 AND 0x7BEF) + (frame >> 1 AND 0x7BEF), two pixels per 32-bit word; the
// mask keeps each halved component from borrowing its neighbour's low bit.
void blend_trail(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> render);

}  // namespace morvane
