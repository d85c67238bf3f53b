#pragma once
// A light map, one light level per pixel in rows of 320 bytes, and the kernels that work on
// whole light maps: the blur, the warp through a precomputed table, the decay, and the output
// through the shade table or the grey ramp. The visible 320 x 200 area has two rows of zero
// margin above and below it, so that a neighbour read past the top or bottom row sees 0; the
// drawing primitives work on the visible area alone, index y x 320 + x.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"
#include "demo_parts/kernel_constants.h"

namespace morvane {

// A light map: one light level per pixel in rows of 320 bytes. The visible 320 x 200 area has
// two rows of zero margin above and below it, so that a neighbour read past the top or bottom
// row sees 0. The drawing primitives work on the visible area alone, index y x 320 + x.
inline constexpr int kLightMapMargin = 2 * kFrameWidth;
inline constexpr int kLightMapBytes = kFramePixels + 2 * kLightMapMargin;

using LightMapBuffer = std::span<std::uint8_t, kLightMapBytes>;
using LightView = std::span<std::uint8_t, kFramePixels>;
using ConstLightView = std::span<const std::uint8_t, kFramePixels>;

inline LightView visible_area(LightMapBuffer map) { return map.subspan<kLightMapMargin, kFramePixels>(); }

// The feedback blur: every visible light-map pixel becomes the average of its four neighbours,
// in place and in increasing index order, so that the left and upper neighbours are already
// blurred. Reads past the visible area see the zero margins; the left neighbour of a row's
// first pixel is the last pixel of the row above.
void blur_light_map(LightMapBuffer map);

// The feedback warp: every light-map pixel takes its level from a source pixel found by turning
// and scaling about the screen centre, wrapping around the screen edges.
using WarpTable = std::span<std::uint16_t, kFramePixels>;
using ConstWarpTable = std::span<const std::uint16_t, kFramePixels>;

// The narrow warp (10 degrees, scale 1.2) and the wide one (1 degree, scale 2), in the
// single-precision values the tables were designed with.
inline constexpr double kWarp1Angle = kDegrees10;
inline constexpr double kWarp1Scale = kSinglePrecision1_2;
inline constexpr double kWarp2Angle = kDegree10;
inline constexpr double kWarp2Scale = 2.0;

// Source index (0..63999) for every pixel: turned by angle (radians) and scaled, wrapped twice
// into the screen, rounded to the nearest pixel; 0 where the wrapping does not land inside.
void build_warp_table(double angle, double scale, WarpTable table);

// to[i] = from[table[i]] over the visible area.
void warp_light_map(ConstLightView from, LightView to, ConstWarpTable table);

// The rays' fade: a four-neighbour blur that also loses a level, written back into the current
// light map, with one level less again into the other one, which is the one shown.
inline constexpr int kDecayFirst = kFrameWidth + 1;  // row 1, column 1
inline constexpr int kDecayGroups = 15839;          // of four bytes: up to row 198, column 316
inline constexpr int kDecayEnd = kDecayFirst + 4 * kDecayGroups;

// Clears rows 0, 1 and 199 of current (and the margin row below, already 0), then walks indices
// 321..63676 in groups of four bytes in increasing order. Each group's sums of left, right,
// below and above are formed in one 32-bit addition of four little-endian words (a lane sum
// above 255 carries into the next lane), from the values before the group is written; each
// byte becomes max(sum - 1, 0) / 4 in current and one level less (at least 0) in other. Other
// is left as it was outside 321..63676.
void decay_light_map(LightMapBuffer current, LightMapBuffer other);

// Light maps into frame pixels: the picture through the 128-level shade table (replacing the
// frame, or averaged half and half into it), and plain grey levels.
inline constexpr int kLightShadeLevels = 128;
inline constexpr int kLightShadeEntries = kLightShadeLevels * 256;
inline constexpr int kGreyLevels = 128;

using LightShadeView = std::span<const Rgb565, kLightShadeEntries>;
using PictureView = std::span<const std::uint8_t, kFramePixels>;
using FrameView = std::span<Rgb565, kFramePixels>;

// The grey for light level j (levels above 127 show as 127): red and blue j / 2, green j, as
// (j / 2) x 2049 + 32 j kept to 16 bits.
constexpr Rgb565 grey_pixel(std::uint8_t light) {
  const int j = light < kGreyLevels ? light : kGreyLevels - 1;
  return static_cast<Rgb565>((j / 2) * 2049 + 32 * j);
}

// Light levels above 127 (only a frame texture with larger bytes could bring them) show as 127.
// frame[i] = shade[light[i] x 256 + picture[i]].
void shade_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture);
// frame[i] = half of the shaded pixel + half of frame[i], each half with every channel's low
// bit dropped.
void blend_shaded_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture);
// frame[i] = grey_pixel(light[i]).
void grey_light_map(FrameView frame, ConstLightView light);

}  // namespace morvane
