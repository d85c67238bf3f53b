#include "demo_parts/lightmap/light_blur.h"

#include <array>
#include <cstdint>

namespace morvane {

void blur_light_map(LightMapBuffer map) {
  std::uint8_t* visible = map.data() + kLightMapMargin;
  // Per row, the three neighbours that are already final (the right one and the row below still
  // old, the row above already blurred) are summed in one independent sweep; only the left
  // neighbour chains from pixel to pixel.
  std::array<std::uint16_t, kFrameWidth> partial;
  for (int row = 0; row < kFrameHeight; ++row) {
    std::uint8_t* p = visible + row * kFrameWidth;
    for (int x = 0; x < kFrameWidth; ++x) {
      partial[static_cast<std::size_t>(x)] =
          static_cast<std::uint16_t>(p[x + 1] + p[x + kFrameWidth] + p[x - kFrameWidth]);
    }
    unsigned left = p[-1];
    for (int x = 0; x < kFrameWidth; ++x) {
      left = (left + partial[static_cast<std::size_t>(x)]) >> 2;
      p[x] = static_cast<std::uint8_t>(left);
    }
  }
}

}  // namespace morvane
