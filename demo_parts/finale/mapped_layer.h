#pragma once
// The rings, the tunnel and the two moving light effects: a layer read from a doubled 256 x 256
// texture through a per-pixel table of texture indices, from a start offset that moves with the
// song time.
#include <cstdint>
#include <span>

#include "demo_parts/finale/finale_tables.h"
#include "contracts/pixel.h"

namespace morvane {

// A 256 x 256 texture stored twice in a row: offset (below 65536) plus a table entry (below
// 65536) never reads past it.
inline constexpr int kDoubledTextureBytes = 2 * 65536;

using DoubledTextureView = std::span<const std::uint8_t, kDoubledTextureBytes>;
using LayerView = std::span<std::uint8_t, kFramePixels>;

// Rings and tunnel: 3 texture rows per tick and one column every 5 ticks, modulo 65536.
int colour_offset(float t);
// The light on the tunnel runs the other way: 65535 minus the colour offset.
int light_tunnel_offset(float t);
// The light on the rings: 4 rows per tick and one column every 2 ticks, backwards.
int light_rings_offset(float t);

// layer[i] = texture[offset + table[i]]; offset is taken modulo 65536.
void draw_mapped_layer(DoubledTextureView texture, int offset, std::span<const std::uint16_t, kFramePixels> table,
                       LayerView layer);

}  // namespace morvane
