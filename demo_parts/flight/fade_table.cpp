#include "demo_parts/flight/fade_table.h"

#include <algorithm>

namespace morvane {

void build_fade_table(std::span<const std::uint8_t, kFlightPaletteBytes> palette,
                      std::span<Pixel32, kFadeEntries> table) {
  // Each row lifts every component by the same share of its range; the sums are exact in float
  // (multiples of 1/8 and 1/4), and the scaled values stay within 0..251.
  constexpr float n = kFadeRows;
  for (int i = 0; i < kFadeRows; ++i) {
    const float lift5 = 32.0f * static_cast<float>(i) / n;
    const float lift6 = 64.0f * static_cast<float>(i) / n;
    for (int k = 0; k < 256; ++k) {
      const std::uint8_t* colour = palette.data() + 3 * k;
      const float r = std::min(31.0f, static_cast<float>(colour[0]) * 0.125f + lift5);
      const float g = std::min(63.0f, static_cast<float>(colour[1]) * 0.25f + lift6);
      const float b = std::min(31.0f, static_cast<float>(colour[2]) * 0.125f + lift5);
      const auto red = static_cast<Pixel32>(r * 7.96875f);
      const auto green = static_cast<Pixel32>(g * 3.984375f);
      const auto blue = static_cast<Pixel32>(b * 7.96875f);
      table[static_cast<std::size_t>(i * 256 + k)] = red * 65536 + green * 256 + blue;
    }
  }
}

}  // namespace morvane
