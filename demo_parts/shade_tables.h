#pragma once
// Shade tables: Rgb565 lookups indexed by level x 256 + colour index, built from a palette.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

using PaletteView = std::span<const std::uint8_t, 768>;

inline constexpr int kShadeLevelEntries = 256;

// The bands every layout is assembled from. Each fills whole levels of 256 entries (level x 256
// + colour index) and takes as many levels as its span holds; step j counts from 0 at the
// band's first level.
// Black: 0. White: 0xFFFF.
void fill_black_band(std::span<Rgb565> levels);
void fill_white_band(std::span<Rgb565> levels);
// N is at least 1 (the layouts use 32 and 64).
// Darkening over N steps: from black (j = 0) to one step short of the palette colour,
// components j x C / (8N) for red and blue, j x C / (4N) for green, truncated.
void fill_darkening_band(PaletteView palette, int steps, std::span<Rgb565> levels);
// Lifting over N steps: from the palette colour towards white, each component first raised to
// at least j x 256 / N, then cut to its top 5 or 6 bits.
void fill_lifting_band(PaletteView palette, int steps, std::span<Rgb565> levels);
// Additive: j / 2 + C / 8 for red and blue, j + G / 4 for green, each sum truncated, then
// limited to 31 / 63.
void fill_additive_band(PaletteView palette, std::span<Rgb565> levels);

// black x 128, darkening 64, lifting 64: 256 levels (65536 entries).
void build_shade_table_256(PaletteView palette, std::span<Rgb565, 65536> table);
// darkening 64, additive 64: 128 levels (32768 entries).
void build_shade_table_128_additive(PaletteView palette, std::span<Rgb565, 32768> table);
// darkening 32, lifting 32: 64 levels (16384 entries).
void build_shade_table_64(PaletteView palette, std::span<Rgb565, 16384> table);
// additive 64, white x 64: 128 levels (32768 entries).
void build_shade_table_128_white(PaletteView palette, std::span<Rgb565, 32768> table);

}  // namespace morvane
