#pragma once
// The finale's load-time tables: per pixel the angle around the screen centre with either the
// tunnel depth or the plain distance, the ripple field of the interference effect, and the
// overlay strip turned into frame pixels.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kRippleWidth = 640;
inline constexpr int kRippleHeight = 400;
inline constexpr int kRippleEntries = kRippleWidth * kRippleHeight;
inline constexpr int kOverlayWidth = 180;
inline constexpr int kOverlayHeight = 480;
inline constexpr int kOverlayPixels = kOverlayWidth * kOverlayHeight;
inline constexpr int kFinalePaletteBytes = 768;

// Entries are 16-bit texture indices: low byte the column, high byte the row.
using PixelTableView = std::span<std::uint16_t, kFramePixels>;
using RippleTableView = std::span<std::uint16_t, kRippleEntries>;

// Low byte: the angle around (160, 100), 256 steps to a turn. High byte: 4000 / distance, kept
// modulo 256 (0 at the centre itself).
void build_tunnel_table(PixelTableView table);
// Low byte: the same angle. High byte: the distance from (160, 100).
void build_polar_table(PixelTableView table);
// Circles around the middle of a field twice the frame's size, at half-pixel steps: low byte
// the distance scaled to 0..127, high byte a wave over the distance in degrees (1..127). Any
// two entries add up to less than 65536 without a carry between the bytes.
void build_ripple_table(RippleTableView table);

// Each index as its palette colour cut to 5-6-5 (value 0 is the transparent colour).
void convert_overlay(std::span<const std::uint8_t, kOverlayPixels> source,
                     std::span<const std::uint8_t, kFinalePaletteBytes> palette,
                     std::span<Rgb565, kOverlayPixels> overlay);

}  // namespace morvane
