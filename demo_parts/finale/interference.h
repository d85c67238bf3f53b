#pragma once
// The interference effect: two circle systems from the ripple table move over the frame, and
// the sum of their entries picks a byte of a 64 KB page of wobbled texture rows rebuilt each
// frame. The column of the sum is the sum of the two distances, the row the sum of the two
// waves.
#include <cstdint>
#include <span>

#include "demo_parts/finale/finale_tables.h"
#include "demo_parts/finale/mapped_layer.h"

namespace morvane {

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

}  // namespace morvane
