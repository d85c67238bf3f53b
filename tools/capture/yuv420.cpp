#include "tools/capture/yuv420.h"

#include <cassert>

namespace morvane::capture {
namespace {

// The usual 8-bit integer BT.601 coefficients, scaled by 256.
inline std::uint8_t luma(Pixel32 p) {
  const int r = static_cast<int>((p >> 16) & 0xFF);
  const int g = static_cast<int>((p >> 8) & 0xFF);
  const int b = static_cast<int>(p & 0xFF);
  return static_cast<std::uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

}  // namespace

std::size_t yuv420_bytes(int width, int height) {
  const auto luma_bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  return luma_bytes + luma_bytes / 2;
}

void to_yuv420(std::span<const Pixel32> pixels, int width, int height, std::span<std::uint8_t> out) {
  assert(width % 2 == 0 && height % 2 == 0);
  assert(pixels.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  assert(out.size() >= yuv420_bytes(width, height));
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  std::uint8_t* y_plane = out.data();
  std::uint8_t* cb_plane = y_plane + w * h;
  std::uint8_t* cr_plane = cb_plane + (w / 2) * (h / 2);
  for (std::size_t i = 0; i < w * h; ++i) y_plane[i] = luma(pixels[i]);

  for (std::size_t cy = 0; cy < h / 2; ++cy) {
    const Pixel32* top = pixels.data() + 2 * cy * w;
    const Pixel32* bottom = top + w;
    for (std::size_t cx = 0; cx < w / 2; ++cx) {
      const Pixel32 a = top[2 * cx], b = top[2 * cx + 1], c = bottom[2 * cx], d = bottom[2 * cx + 1];
      const auto channel_sum = [&](int shift) {
        return static_cast<int>(((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                                ((d >> shift) & 0xFF));
      };
      // Sums of four: the coefficients' scale of 256 becomes 1024, which keeps the rounding of
      // one pixel's colour exact for a uniform block.
      const int r = channel_sum(16), g = channel_sum(8), bl = channel_sum(0);
      cb_plane[cy * (w / 2) + cx] = static_cast<std::uint8_t>(((-38 * r - 74 * g + 112 * bl + 512) >> 10) + 128);
      cr_plane[cy * (w / 2) + cx] = static_cast<std::uint8_t>(((112 * r - 94 * g - 18 * bl + 512) >> 10) + 128);
    }
  }
}

}  // namespace morvane::capture
