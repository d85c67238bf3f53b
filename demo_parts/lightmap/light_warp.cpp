#include "demo_parts/lightmap/light_warp.h"

#include <cmath>

namespace morvane {
namespace {

constexpr double kWidth = kFrameWidth;
constexpr double kHeight = kFrameHeight;

void wrap_once(double& row, double& column) {
  if (row < 0) row += kHeight;
  if (row > kHeight - 1) row -= kHeight;
  if (column < 0) column += kWidth;
  if (column > kWidth - 1) column -= kWidth;
}

}  // namespace

void build_warp_table(double angle, double scale, WarpTable table) {
  const double p = scale * std::cos(angle);
  const double q = scale * std::sin(angle);
  std::uint16_t* out = table.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x, ++out) {
      const int dx = x - 160;
      const int dy = y - 100;
      double row = dy * p + dx * q + 100;
      double column = dx * p - dy * q + 160;
      // A source just inside the last row or column (199..200, 319..320) wraps back and forth
      // and ends outside: it reads pixel 0.
      wrap_once(row, column);
      wrap_once(row, column);
      if (!(column >= 0 && column < kWidth && row >= 0 && row < kHeight)) {
        *out = 0;
        continue;
      }
      *out = static_cast<std::uint16_t>(static_cast<int>(std::floor(column + 0.5)) +
                                        kFrameWidth * static_cast<int>(std::floor(row + 0.5)));
    }
  }
}

void warp_light_map(ConstLightView from, LightView to, ConstWarpTable table) {
  const std::uint8_t* source = from.data();
  const std::uint16_t* index = table.data();
  std::uint8_t* out = to.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = source[index[i]];
}

}  // namespace morvane
