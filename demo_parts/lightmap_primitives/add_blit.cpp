#include "demo_parts/lightmap_primitives/add_blit.h"

#include <cstddef>

#include "contracts/pixel.h"

namespace morvane {

void add_blit(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, BlitRect rect, int cap,
              int destination_stride, int source_stride) {
  int x = rect.x;
  int y = rect.y;
  int source_x = rect.source_x;
  int source_y = rect.source_y;
  int w = rect.width & 0xFF;
  int h = rect.height & 0xFF;
  if (x <= -w || x >= kFrameWidth || y <= -h || y >= kFrameHeight) return;
  if (y >= kFrameHeight - h) h = kFrameHeight - y;
  if (x >= kFrameWidth - w) w = kFrameWidth - x;
  if (x < 0) {
    w += x;
    source_x -= x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    source_y -= y;
    y = 0;
  }
  if (w <= 0 || h <= 0) return;
  // The rectangle's last byte on each side must lie inside its buffer.
  const auto reaches = [](int top, int left, int rows, int columns, int stride, std::size_t size) {
    if (top < 0 || left < 0 || stride < 0) return false;
    const long long end = static_cast<long long>(top + rows - 1) * stride + left + columns;
    return end <= static_cast<long long>(size);
  };
  if (!reaches(y, x, h, w, destination_stride, destination.size()) ||
      !reaches(source_y, source_x, h, w, source_stride, source.size())) {
    return;
  }

  const int limit = cap - 1;
  for (int r = 0; r < h; ++r) {
    std::uint8_t* out = destination.data() + static_cast<std::ptrdiff_t>(y + r) * destination_stride + x;
    const std::uint8_t* in = source.data() + static_cast<std::ptrdiff_t>(source_y + r) * source_stride + source_x;
    for (int c = 0; c < w; ++c) {
      const int sum = (out[c] + in[c]) & 0xFF;
      out[c] = static_cast<std::uint8_t>(sum >= limit ? limit : sum);
    }
  }
}

}  // namespace morvane
