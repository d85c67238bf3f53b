#include "demo_parts/finale/mapped_layer.h"

#include <cstdint>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr int kIndexMask = 0xFFFF;

// (rows_per_tick x 256 x trunc(t) + trunc(column_rate x t)) modulo 65536. The sum is formed in
// 64 bits so that no song length can overflow it; the mask keeps it non-negative.
int moving_offset(float t, std::int64_t row_step, double column_rate) {
  const std::int64_t sum = row_step * trunc_to_int(t) + trunc_to_int(column_rate * t);
  return static_cast<int>(sum & kIndexMask);
}

}  // namespace

int colour_offset(float t) { return moving_offset(t, 768, 0.2); }

int light_tunnel_offset(float t) { return kIndexMask - colour_offset(t); }

int light_rings_offset(float t) { return kIndexMask - moving_offset(t, 1024, 0.5); }

void draw_mapped_layer(DoubledTextureView texture, int offset, std::span<const std::uint16_t, kFramePixels> table,
                       LayerView layer) {
  const std::uint8_t* base = texture.data() + (offset & kIndexMask);
  const std::uint16_t* index = table.data();
  std::uint8_t* out = layer.data();
  for (int i = 0; i < kFramePixels; ++i) out[i] = base[index[i]];
}

}  // namespace morvane
