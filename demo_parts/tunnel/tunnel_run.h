#pragma once
// One run of the textured tunnel: the texture slides and turns with the song time through a
// per-pixel map of angle and distance, and a tall picture of shade values scrolls up behind
// it, stretched more towards the top and bottom.
#include <array>
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

// The tunnel's per-pixel map: for each pixel of the frame, in pixel order, the angle around
// the tunnel and the distance along it (one byte each), both slightly wobbled.
inline constexpr int kTunnelMapBytes = 2 * kFramePixels;

using TunnelMapView = std::span<std::uint8_t, kTunnelMapBytes>;

void build_tunnel_map(TunnelMapView map);

inline constexpr int kTunnelShadingRows = 1000;
inline constexpr int kTunnelShadingBytes = kFrameWidth * kTunnelShadingRows;
inline constexpr int kTunnelTextureBytes = 2 * 65536;
inline constexpr int kTunnelShadeEntries = 64 * 256;
inline constexpr int kTunnelLastOrder = 31;
inline constexpr int kTunnelMaxShade = 55;

struct TunnelAssets {
  // The shade-value picture followed by one 0 byte, which stands in for the byte after its
  // last row when a row's last sample weighs it in.
  std::span<const std::uint8_t, kTunnelShadingBytes + 1> shading;
  std::span<const std::uint8_t, kTunnelTextureBytes> texture;
  std::span<const Rgb565, kTunnelShadeEntries> shade;
  std::span<const std::uint8_t, kTunnelMapBytes> map;
  std::span<std::uint8_t, kFramePixels> texels;
};

// First shading row shown at local time t: half a row per tick, back to the top past row 800.
int tunnel_scroll(float t);
// Start of the texture window at local time t: low byte around the tunnel, high byte along it.
int tunnel_texture_offset(float t);

// A row's sampling of the shading picture in 16.16 fixed point.
struct ShadingSpan {
  std::int32_t start;
  std::int32_t step;
};
ShadingSpan tunnel_shading_span(int y);

class TunnelRun {
 public:
  explicit TunnelRun(const TunnelAssets& assets);

  void draw_frame(float t, std::span<Rgb565, kFramePixels> frame);

 private:
  TunnelAssets assets_;
  std::array<ShadingSpan, kFrameHeight> spans_;
};

}  // namespace morvane
