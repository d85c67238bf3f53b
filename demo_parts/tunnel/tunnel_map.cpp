#include "demo_parts/tunnel/tunnel_map.h"

#include <cmath>

namespace morvane {

void build_tunnel_map(TunnelMapView map) {
  // The angle turns around (159, 99), the distance grows from (160, 100); both keep only their
  // low byte after truncation toward zero.
  std::uint8_t* out = map.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const double angle = std::atan2(static_cast<double>(x - 159), static_cast<double>(y - 99)) * 40.74366429772945 +
                           4 * std::sin(x * std::cos(y * 0.010471975803375244) * 0.038397244612375904);
      const double distance = std::sqrt(static_cast<double>((x - 160) * (x - 160) + (y - 100) * (y - 100))) +
                              4 * std::cos(y * std::sin(x * 0.012217305103937785) * 0.04188790321350098);
      *out++ = static_cast<std::uint8_t>(static_cast<int>(angle));
      *out++ = static_cast<std::uint8_t>(static_cast<int>(distance));
    }
  }
}

}  // namespace morvane
