#pragma once
// Light maps into frame pixels: the picture through the 128-level shade table (replacing the
// frame, or averaged half and half into it), and plain grey levels.
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"
#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kLightShadeLevels = 128;
inline constexpr int kLightShadeEntries = kLightShadeLevels * 256;
inline constexpr int kGreyLevels = 128;

using LightShadeView = std::span<const Rgb565, kLightShadeEntries>;
using GreyRampView = std::span<const Rgb565, kGreyLevels>;
using PictureView = std::span<const std::uint8_t, kFramePixels>;
using FrameView = std::span<Rgb565, kFramePixels>;

// Entry j: red and blue j / 2, green j, as (j / 2) x 2049 + 32 j kept to 16 bits.
void build_grey_ramp(std::span<Rgb565, kGreyLevels> grey);

// Light levels above 127 (only a frame texture with larger bytes could bring them) show as 127.
// frame[i] = shade[light[i] x 256 + picture[i]].
void shade_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture);
// frame[i] = half of the shaded pixel + half of frame[i], each half with every channel's low
// bit dropped.
void blend_shaded_light_map(FrameView frame, ConstLightView light, LightShadeView shade, PictureView picture);
// frame[i] = grey[light[i]].
void grey_light_map(FrameView frame, ConstLightView light, GreyRampView grey);

}  // namespace morvane
