#pragma once
// The half-and-half blend of Rgb565 pictures that several scenes use for trails and averaging:
// (a >> 1 AND 0x7BEF) + (b >> 1 AND 0x7BEF). The mask keeps each halved component from
// borrowing its neighbour's low bit, so two pixels fit in one 32-bit word without carries.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr std::uint32_t kHalfMaskPair = 0x7BEF7BEF;

constexpr Rgb565 half_pixel(Rgb565 p) { return static_cast<Rgb565>((p >> 1) & 0x7BEF); }
// Two pixels of a 32-bit word halved at once.
constexpr std::uint32_t half_pixel_pair(std::uint32_t two) { return (two >> 1) & kHalfMaskPair; }

// frame = half(render) + half(frame), two pixels per step.
void blend_trail(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> render);

}  // namespace morvane
