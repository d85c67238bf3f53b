#pragma once
// The opening scene's glow layer: 320 x 200 bytes of 0..63 that bars and the point cloud light
// up and that fades and blurs every frame.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kGlowMax = 63;
inline constexpr int kGlowBarTop = 66;
inline constexpr int kGlowBarRows = 50;
inline constexpr int kSpriteSide = 10;
// Only the top-left 9 x 9 of the sprite is stamped.
inline constexpr int kStampSide = 9;

using GlowView = std::span<std::uint8_t, kFramePixels>;
using SpriteView = std::span<const std::uint8_t, kSpriteSide * kSpriteSide>;

// Sets rows 66..115, columns x .. x + width - 1 (clipped to the row) to 63.
void draw_glow_bar(GlowView glow, int x, int width);

// Adds the sprite at (x, y), each sum capped at 63. Requires 0 <= x <= 311 and 0 <= y <= 191.
void stamp_sprite(GlowView glow, SpriteView sprite, int x, int y);

// Every byte that is not 0 loses 1.
void fade_glow(GlowView glow);

// In-place four-neighbour average over offsets 321..63679, four bytes at a time in increasing
// order; each group sees the new values before it and the old values from itself on.
void blur_glow(GlowView glow);

}  // namespace morvane
