#pragma once
// The feedback warp: every light-map pixel takes its level from a source pixel found by turning
// and scaling about the screen centre, wrapping around the screen edges.
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

using WarpTable = std::span<std::uint16_t, kFramePixels>;
using ConstWarpTable = std::span<const std::uint16_t, kFramePixels>;

// The narrow warp (10 degrees, scale 1.2) and the wide one (1 degree, scale 2), in the
// single-precision values the tables were designed with.
inline constexpr double kWarp1Angle = 0.1745329238;
inline constexpr double kWarp1Scale = 1.2000000477;
inline constexpr double kWarp2Angle = 0.0174532924;
inline constexpr double kWarp2Scale = 2.0;

// Source index (0..63999) for every pixel: turned by angle (radians) and scaled, wrapped twice
// into the screen, rounded to the nearest pixel; 0 where the wrapping does not land inside.
void build_warp_table(double angle, double scale, WarpTable table);

// to[i] = from[table[i]] over the visible area.
void warp_light_map(ConstLightView from, LightView to, ConstWarpTable table);

}  // namespace morvane
