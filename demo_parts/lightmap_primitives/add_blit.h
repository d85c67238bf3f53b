#pragma once
// Adds a rectangle of one byte picture onto another, clipped to a 320 x 200 destination, each
// byte sum (kept to 8 bits) limited to cap - 1.
#include <cstdint>
#include <span>

namespace morvane {

struct BlitRect {
  int x;  // destination corner
  int y;
  int source_x;
  int source_y;
  int width;  // taken as 8-bit counts
  int height;
};

// Rows are destination_stride and source_stride bytes apart. A rectangle that would reach
// outside either span after clipping is not drawn.
void add_blit(std::span<std::uint8_t> destination, std::span<const std::uint8_t> source, BlitRect rect, int cap,
              int destination_stride, int source_stride);

}  // namespace morvane
