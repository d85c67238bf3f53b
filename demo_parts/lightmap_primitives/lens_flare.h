#pragma once
// Lens flare: five flare images added along the line from the light source towards its mirror
// image through the screen centre.
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

inline constexpr int kFlareWidth = 160;
inline constexpr int kFlareHeight = 100;
inline constexpr int kFlareImages = 5;
inline constexpr int kFlareSheetBytes = kFlareWidth * kFlareHeight * kFlareImages;
inline constexpr int kFlareCap = 64;

// Five images of 160 x 100 stacked: image f at rows 100 f .. 100 f + 99.
using FlareSheetView = std::span<const std::uint8_t, kFlareSheetBytes>;

// Image f is centred at f / 5 of the way from (x0, y0) towards (x1, y1), added with sums
// limited to 63 and clipped to the screen.
void draw_lens_flare(LightView light, FlareSheetView flares, int x0, int y0, int x1, int y1);

}  // namespace morvane
