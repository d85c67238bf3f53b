#include "demo_parts/finale/finale_tables.h"

#include <cmath>
#include <numbers>

namespace morvane {
namespace {

constexpr int kCentreX = 160;
constexpr int kCentreY = 100;
// 256 / 2 pi as the table was always built with: slightly short of the true factor, so that
// exact eighths of a turn land one step low.
constexpr double kAngleSteps = 40.7436642977;
constexpr double kDegree = std::numbers::pi / 180.0;

// The angle of the pixel (x, y) relative to the centre; atan2 takes x + 1 first and y + 1
// second. Its low byte is kept, so negative angles wrap like a byte.
std::uint16_t angle_byte(int x, int y) {
  const double angle = std::atan2(static_cast<double>(x + 1), static_cast<double>(y + 1)) * kAngleSteps;
  return static_cast<std::uint16_t>(static_cast<int>(angle) & 0xFF);
}

double distance(int x, int y) { return std::sqrt(static_cast<double>(x * x + y * y)); }

template <typename HighByte>
void build_pixel_table(PixelTableView table, HighByte high_byte) {
  std::uint16_t* out = table.data();
  for (int row = 0; row < kFrameHeight; ++row) {
    const int y = row - kCentreY;
    for (int column = 0; column < kFrameWidth; ++column) {
      const int x = column - kCentreX;
      *out++ = static_cast<std::uint16_t>(angle_byte(x, y) | high_byte(x, y) << 8);
    }
  }
}

}  // namespace

void build_tunnel_table(PixelTableView table) {
  build_pixel_table(table, [](int x, int y) {
    if (x == 0 && y == 0) return 0;
    // At most 4000 (next to the centre): the int conversion is always defined.
    return static_cast<int>(4000.0 / distance(x, y)) & 0xFF;
  });
}

void build_polar_table(PixelTableView table) {
  // At most 188 at the corners: fits its byte.
  build_pixel_table(table, [](int x, int y) { return static_cast<int>(distance(x, y)); });
}

void build_ripple_table(RippleTableView table) {
  std::uint16_t* out = table.data();
  for (int v = 0; v < kRippleHeight; ++v) {
    const double dy = v * 0.5 - 100.0;
    for (int m = 0; m < kRippleWidth; ++m) {
      const double dx = m * 0.5 - 160.0;
      const double w = std::sqrt(dy * dy + dx * dx);
      // w stays below 189: 0..127 and 54..127.
      const int low = static_cast<int>(w * 64.0 / 95.0);
      const int high = static_cast<int>(63.0 * std::sin(w * kDegree) + 64.0);
      *out++ = static_cast<std::uint16_t>(low | high << 8);
    }
  }
}

void convert_overlay(std::span<const std::uint8_t, kOverlayPixels> source,
                     std::span<const std::uint8_t, kFinalePaletteBytes> palette,
                     std::span<Rgb565, kOverlayPixels> overlay) {
  for (int i = 0; i < kOverlayPixels; ++i) {
    const std::uint8_t* colour = palette.data() + 3 * source[static_cast<std::size_t>(i)];
    overlay[static_cast<std::size_t>(i)] =
        static_cast<Rgb565>((colour[0] / 8) << 11 | (colour[1] / 4) << 5 | colour[2] / 8);
  }
}

}  // namespace morvane
