#pragma once
// A light map: one light level per pixel in rows of 320 bytes. The visible 320 x 200 area has
// two rows of zero margin above and below it, so that a neighbour read past the top or bottom
// row sees 0. The drawing primitives work on the visible area alone, index y x 320 + x.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kLightMapMargin = 2 * kFrameWidth;
inline constexpr int kLightMapBytes = kFramePixels + 2 * kLightMapMargin;

using LightMapBuffer = std::span<std::uint8_t, kLightMapBytes>;
using LightView = std::span<std::uint8_t, kFramePixels>;
using ConstLightView = std::span<const std::uint8_t, kFramePixels>;

inline LightView visible_area(LightMapBuffer map) { return map.subspan<kLightMapMargin, kFramePixels>(); }

// Degrees to radians for the primitives' angles.
inline constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

}  // namespace morvane
