#pragma once
// The finale's kernels: the tunnel, polar and ripple tables built at load, the texture layers
// mapped through them, the interference pattern over a wobbled texture page, and the
// composition of colour and light into the frame with the overlay strip.
#include <cstdint>
#include <span>

#include "contracts/pixel.h"

namespace morvane {

// The finale's load-time tables: per pixel the angle around the screen centre with either the
// tunnel depth or the plain distance, the ripple field of the interference effect, and the
// overlay strip turned into frame pixels.
inline constexpr int kRippleWidth = 640;
inline constexpr int kRippleHeight = 400;
inline constexpr int kRippleEntries = kRippleWidth * kRippleHeight;
inline constexpr int kOverlayWidth = 180;
inline constexpr int kOverlayHeight = 480;
inline constexpr int kOverlayPixels = kOverlayWidth * kOverlayHeight;
inline constexpr int kFinalePaletteBytes = 768;

// Entries are 16-bit texture indices: low byte the column, high byte the row.
using PixelTableView = std::span<std::uint16_t, kFramePixels>;
using RippleTableView = std::span<std::uint16_t, kRippleEntries>;

// Low byte: the angle around (160, 100), 256 steps to a turn. High byte: 4000 / distance, kept
// modulo 256 (0 at the centre itself).
void build_tunnel_table(PixelTableView table);
// Low byte: the same angle. High byte: the distance from (160, 100).
void build_polar_table(PixelTableView table);
// Circles around the middle of a field twice the frame's size, at half-pixel steps: low byte
// the distance scaled to 0..127, high byte a wave over the distance in degrees (1..127). Any
// two entries add up to less than 65536 without a carry between the bytes.
void build_ripple_table(RippleTableView table);

// Each index as its palette colour cut to 5-6-5 (value 0 is the transparent colour).
void convert_overlay(std::span<const std::uint8_t, kOverlayPixels> source,
                     std::span<const std::uint8_t, kFinalePaletteBytes> palette,
                     std::span<Rgb565, kOverlayPixels> overlay);

// The rings, the tunnel and the two moving light effects: a layer read from a doubled 256 x 256
// texture through a per-pixel table of texture indices, from a start offset that moves with the
// song time.
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

// The interference effect: two circle systems from the ripple table move over the frame, and
// the sum of their entries picks a byte of a 64 KB page of wobbled texture rows rebuilt each
// frame. The column of the sum is the sum of the two distances, the row the sum of the two
// waves.
inline constexpr int kWavePageBytes = 65536;

using WavePageView = std::span<std::uint8_t, kWavePageBytes>;

// The wobble's frequency over the page rows, single precision; f is the frame's t x 3/1120.
float interference_k(float t, float f);

// Page row r is texture row r shifted right by 64 plus a wobble of up to 63 texels, running on
// into the next texture row.
void build_wave_page(DoubledTextureView texture, float k, float t, WavePageView page);

// Top-left corners of the two 320 x 200 windows into the ripple table.
struct RippleWindows {
  int a_row, a_column;
  int b_row, b_column;
};
RippleWindows ripple_windows(float t);

// colour[(x, y)] = page[A(x, y) + B(x, y)], the sum taken modulo 65536. Window corners are
// clamped so that both windows stay inside the table.
void draw_interference(std::span<const std::uint16_t, kRippleEntries> ripple, RippleWindows windows, std::span<const std::uint8_t, kWavePageBytes> page,
                       LayerView colour);

// How a finale frame is put together: the two layers through the texture's shade table, the
// closing black bars and middle line, and the overlay strip laid over the blended frame.
// 128 levels: additive 64, then white 64.
inline constexpr int kFinaleShadeLevels = 128;
inline constexpr int kFinaleShadeEntries = kFinaleShadeLevels * 256;
// Bars close to 99 rows each, which leaves rows 99 and 100 for the closing line.
inline constexpr int kMaxBarHeight = 99;
inline constexpr int kOverlayColumn = 70;

using FinaleShadeView = std::span<const Rgb565, kFinaleShadeEntries>;
using ConstLayerView = std::span<const std::uint8_t, kFramePixels>;
using FrameView = std::span<Rgb565, kFramePixels>;

// out[i] = shade[(flash + light[i]) x 256 + colour[i]]. Levels past the table's last (127,
// white) read the last level: more light never reads outside the table.
void combine_layers(FinaleShadeView shade, int flash, ConstLayerView light, ConstLayerView colour, FrameView out);

// Blacks rows 0..height - 1 and 200 - height..199 (height limited to 0..99).
void close_bars(FrameView frame, int height);

// Blacks the first and the last n pixels of rows 99 and 100 (n limited to 0..160).
void close_middle_line(FrameView frame, int n);

// Lays the 180 x 200 window of the overlay that starts at pixel index scroll over the frame's
// columns 70..249; pixels of value 0 are left out. A window that would run past the overlay's
// end starts at the last one that fits.
void draw_overlay(std::span<const Rgb565, kOverlayPixels> overlay, int scroll, FrameView frame);

}  // namespace morvane
