#include "demo_parts/tunnel/tunnel_run.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "demo_parts/float_to_int.h"
#include "demo_parts/kernel_constants.h"

namespace morvane {

void build_tunnel_map(TunnelMapView map) {
  // The angle turns around (159, 99), the distance grows from (160, 100); both keep only their
  // low byte after truncation toward zero.
  std::uint8_t* out = map.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      const double angle = std::atan2(static_cast<double>(x - 159), static_cast<double>(y - 99)) * k128OverFloatPi +
                           4 * std::sin(x * std::cos(y * kDegrees0_6) * kDegrees2_2);
      const double distance = std::sqrt(static_cast<double>((x - 160) * (x - 160) + (y - 100) * (y - 100))) +
                              4 * std::cos(y * std::sin(x * kDegrees0_7) * kDegrees2_4);
      *out++ = static_cast<std::uint8_t>(static_cast<int>(angle));
      *out++ = static_cast<std::uint8_t>(static_cast<int>(distance));
    }
  }
}

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
  const std::int64_t along = trunc_to_int(std::cos(t * kDegrees0_03267) * 3840 + 4096);
  const std::int64_t around = trunc_to_int(t * (std::cos(t * kDegreeOfFloat) + 1) * 0.5);
  return static_cast<int>((along * 256 + around) & 0xFFFF);
}

ShadingSpan tunnel_shading_span(int y) {
  // Half-width of the sampled columns: 160 in the middle row, 97.5 in the top row.
  const float half = static_cast<float>(160 - (y - 100) * (y - 100) * 0.00625);
  return ShadingSpan{trunc_to_int((160 - half) * 65536), trunc_to_int(half * k131072Over319)};
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
