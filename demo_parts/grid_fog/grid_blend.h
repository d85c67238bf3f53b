#pragma once
// The grid-and-fog scene's layers: the background picture at half brightness, and the blend that
// lays half the grid image over it and averages the result into the frame shown before.
#include <cstdint>
#include <span>

#include "demo_parts/half_blend.h"
#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kGridFogPaletteBytes = 768;

// Each picture index as its palette colour cut to 5-6-5, then halved.
void build_half_background(std::span<const std::uint8_t, kFramePixels> picture,
                           std::span<const std::uint8_t, kGridFogPaletteBytes> palette,
                           std::span<Rgb565, kFramePixels> background);

// frame = half(frame) + half(half(grid image) + background), two pixels per 32-bit word.
void blend_grid(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> grid_image,
                std::span<const Rgb565, kFramePixels> background);

}  // namespace morvane
