#pragma once
// The tunnel's per-pixel map: for each pixel of the frame, in pixel order, the angle around
// the tunnel and the distance along it (one byte each), both slightly wobbled.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kTunnelMapBytes = 2 * kFramePixels;

using TunnelMapView = std::span<std::uint8_t, kTunnelMapBytes>;

void build_tunnel_map(TunnelMapView map);

}  // namespace morvane
