#pragma once
// The reveal's fade table: 64 rows of the picture's palette as Pixel32 colours, row 0 the
// colours themselves at 5-6-5 precision, each further row brighter, row 63 nearly white.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kFadeRows = 64;
inline constexpr int kFadeEntries = kFadeRows * 256;
inline constexpr int kFlightPaletteBytes = 768;

// Entry row x 256 + colour index.
void build_fade_table(std::span<const std::uint8_t, kFlightPaletteBytes> palette,
                      std::span<Pixel32, kFadeEntries> table);

}  // namespace morvane
