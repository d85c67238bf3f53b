#include "demo_parts/tunnel/tunnel_run.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

static_assert(std::endian::native == std::endian::little);

constexpr int kLastScroll = 800;
constexpr int kShadeLevelBase = 8;

}  // namespace

int tunnel_scroll(float t) {
  // Only the low 16 bits count, so a very long run can never point past the picture.
  const int scroll = trunc_to_int(t * 0.5) & 0xFFFF;
  return scroll > kLastScroll ? 0 : scroll;
}

int tunnel_texture_offset(float t) {
  const std::int64_t along = trunc_to_int(std::cos(t * 0.0005701990824937821) * 3840 + 4096);
  const std::int64_t around = trunc_to_int(t * (std::cos(t * 0.01745329238474369) + 1) * 0.5);
  return static_cast<int>((along * 256 + around) & 0xFFFF);
}

ShadingSpan tunnel_shading_span(int y) {
  // Half-width of the sampled columns: 160 in the middle row, 97.5 in the top row.
  const float half = static_cast<float>(160 - (y - 100) * (y - 100) * 0.00625);
  return ShadingSpan{trunc_to_int((160 - half) * 65536), trunc_to_int(half * 410.88401253918494)};
}

TunnelRun::TunnelRun(const TunnelAssets& assets) : assets_(assets) {
  for (int y = 0; y < kFrameHeight; ++y) spans_[static_cast<std::size_t>(y)] = tunnel_shading_span(y);
}

void TunnelRun::draw_frame(float t, std::span<Rgb565, kFramePixels> frame) {
  const int scroll = tunnel_scroll(t);
  const std::uint8_t* texture = assets_.texture.data() + tunnel_texture_offset(t);
  const std::uint8_t* map = assets_.map.data();
  std::uint8_t* texels = assets_.texels.data();
  // Angle then distance is the little-endian 16-bit texture index; the doubled texture lets
  // offset + index run up to 131070 without a wrap.
  for (int i = 0; i < kFramePixels; ++i) {
    std::uint16_t index;
    std::memcpy(&index, map + 2 * i, sizeof index);
    texels[i] = texture[index];
  }

  const Rgb565* shade = assets_.shade.data();
  Rgb565* out = frame.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    const std::uint8_t* row = assets_.shading.data() + (scroll + y) * kFrameWidth;
    const ShadingSpan span = spans_[static_cast<std::size_t>(y)];
    std::int32_t pos = span.start;
    for (int x = 0; x < kFrameWidth; ++x, ++out, pos += span.step) {
      const std::uint8_t* sample = row + (pos >> 16);
      const std::int32_t f = pos & 0xFFFF;
      const int value = (((65536 - f) * sample[0] + f * sample[1]) >> 16) & 0xFF;
      const int level = std::min(value, kTunnelMaxShade) + kShadeLevelBase;
      *out = shade[level * 256 + texels[y * kFrameWidth + x]];
    }
  }
}

}  // namespace morvane
