#pragma once
// Shade tables: Rgb565 lookups indexed by level x 256 + colour index, built from a palette.
#include <cstdint>
#include <span>

#include "screen/pixel.h"

namespace morvane {

using PaletteView = std::span<const std::uint8_t, 768>;

// black x 128, darkening 64, lifting 64: 256 levels (65536 entries).
void build_shade_table_256(PaletteView palette, std::span<Rgb565, 65536> table);
// darkening 64, additive 64: 128 levels (32768 entries).
void build_shade_table_128_additive(PaletteView palette, std::span<Rgb565, 32768> table);
// darkening 32, lifting 32: 64 levels (16384 entries).
void build_shade_table_64(PaletteView palette, std::span<Rgb565, 16384> table);
// additive 64, white x 64: 128 levels (32768 entries).
void build_shade_table_128_white(PaletteView palette, std::span<Rgb565, 32768> table);

}  // namespace morvane
