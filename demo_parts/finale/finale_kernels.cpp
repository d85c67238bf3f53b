#include "demo_parts/finale/finale_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "demo_parts/float_to_int.h"
#include "demo_parts/kernel_constants.h"

namespace morvane {
namespace {

constexpr int kCentreX = 160;
constexpr int kCentreY = 100;

// The angle of the pixel (x, y) relative to the centre; atan2 takes x + 1 first and y + 1
// second. Its low byte is kept, so negative angles wrap like a byte.
std::uint16_t angle_byte(int x, int y) {
  const double angle = std::atan2(static_cast<double>(x + 1), static_cast<double>(y + 1)) * k128OverFloatPi10;
  return static_cast<std::uint16_t>(static_cast<int>(angle) & 0xFF);
}

double distance(int x, int y) { return std::sqrt(static_cast<double>(x * x + y * y)); }

template <typename HighByte>
void build_pixel_table(PixelTableView table, HighByte high_byte) {
  std::uint16_t* out = table.data();
  for (int row = 0; row < kFrameHeight; ++row) {
    const int y = row - kCentreY;
    for (int column = 0; column < kFrameWidth; ++column) {
      const int x = column - kCentreX;
      *out++ = static_cast<std::uint16_t>(angle_byte(x, y) | high_byte(x, y) << 8);
    }
  }
}

}  // namespace

void build_tunnel_table(PixelTableView table) {
  build_pixel_table(table, [](int x, int y) {
    if (x == 0 && y == 0) return 0;
    // At most 4000 (next to the centre): the int conversion is always defined.
    return static_cast<int>(4000.0 / distance(x, y)) & 0xFF;
  });
}

void build_polar_table(PixelTableView table) {
  // At most 188 at the corners: fits its byte.
  build_pixel_table(table, [](int x, int y) { return static_cast<int>(distance(x, y)); });
}

void build_ripple_table(RippleTableView table) {
  std::uint16_t* out = table.data();
  for (int v = 0; v < kRippleHeight; ++v) {
    const double dy = v * 0.5 - 100.0;
    for (int m = 0; m < kRippleWidth; ++m) {
      const double dx = m * 0.5 - 160.0;
      const double w = std::sqrt(dy * dy + dx * dx);
      // w stays below 189: 0..127 and 54..127.
      const int low = static_cast<int>(w * 64.0 / 95.0);
      const int high = static_cast<int>(63.0 * std::sin(w * kDegree) + 64.0);
      *out++ = static_cast<std::uint16_t>(low | high << 8);
    }
  }
}

void convert_overlay(std::span<const std::uint8_t, kOverlayPixels> source,
                     std::span<const std::uint8_t, kFinalePaletteBytes> palette,
                     std::span<Rgb565, kOverlayPixels> overlay) {
  for (int i = 0; i < kOverlayPixels; ++i) {
    const std::uint8_t* colour = palette.data() + 3 * source[static_cast<std::size_t>(i)];
    overlay[static_cast<std::size_t>(i)] =
        static_cast<Rgb565>((colour[0] / 8) << 11 | (colour[1] / 4) << 5 | colour[2] / 8);
  }
}

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

namespace {

constexpr int kTextureSide = 256;

// A window's corner: 200 - Y rows and 320 - X columns into the table.
int window_row(double wave) { return std::clamp(kFrameHeight - trunc_to_int(99.0 * wave + 100.0), 0, kRippleHeight - kFrameHeight); }
int window_column(double wave) { return std::clamp(kFrameWidth - trunc_to_int(159.0 * wave + 160.0), 0, kRippleWidth - kFrameWidth); }

}  // namespace

float interference_k(float t, float f) {
  return ((std::cos(kDegrees0_3F * t) + 1.0f) * f + 0.5f) * std::cos(0.4f * t * kDegreeF) *
         (1.4f * std::sin(t * kDegreeF) + 1.5f);
}

void build_wave_page(DoubledTextureView texture, float k, float t, WavePageView page) {
  const double drift = 2.7653 * t;
  for (int r = 0; r < kTextureSide; ++r) {
    const int whole_degrees = 360 * r / kTextureSide;
    const double wobble = 63.0 * std::sin((r * static_cast<double>(k) + drift) * kDegree) * std::sin(whole_degrees * kDegree);
    // Within 256 r + 1 .. 256 r + 127 for any finite time; the mask keeps any other value inside
    // the doubled texture too.
    const int start = trunc_to_int(wobble + kTextureSide * r + 64) & 0xFFFF;
    std::memcpy(page.data() + r * kTextureSide, texture.data() + start, kTextureSide);
  }
}

RippleWindows ripple_windows(float t) {
  return RippleWindows{
      window_row(std::cos(kDegrees0_733 * t)),
      window_column(std::sin(kDegrees0_815 * t)),
      window_row(std::sin(kDegrees0_842 * t)),
      window_column(std::cos(kDegrees0_924 * t)),
  };
}

void draw_interference(std::span<const std::uint16_t, kRippleEntries> ripple, RippleWindows windows, std::span<const std::uint8_t, kWavePageBytes> page,
                       LayerView colour) {
  const int a_row = std::clamp(windows.a_row, 0, kRippleHeight - kFrameHeight);
  const int a_column = std::clamp(windows.a_column, 0, kRippleWidth - kFrameWidth);
  const int b_row = std::clamp(windows.b_row, 0, kRippleHeight - kFrameHeight);
  const int b_column = std::clamp(windows.b_column, 0, kRippleWidth - kFrameWidth);
  const std::uint8_t* source = page.data();
  std::uint8_t* out = colour.data();
  for (int y = 0; y < kFrameHeight; ++y) {
    const std::uint16_t* a = ripple.data() + (a_row + y) * kRippleWidth + a_column;
    const std::uint16_t* b = ripple.data() + (b_row + y) * kRippleWidth + b_column;
    for (int x = 0; x < kFrameWidth; ++x) *out++ = source[static_cast<std::uint16_t>(a[x] + b[x])];
  }
}

namespace {

constexpr int kMiddleRow = kFrameHeight / 2 - 1;
constexpr int kOverlayWindow = kOverlayWidth * kFrameHeight;

}  // namespace

void combine_layers(FinaleShadeView shade, int flash, ConstLayerView light, ConstLayerView colour, FrameView out) {
  const Rgb565* table = shade.data();
  const std::uint8_t* l = light.data();
  const std::uint8_t* c = colour.data();
  Rgb565* o = out.data();
  const int top = kFinaleShadeLevels - 1;
  const int base = std::clamp(flash, 0, top);
  for (int i = 0; i < kFramePixels; ++i) o[i] = table[std::min(base + l[i], top) * 256 + c[i]];
}

void close_bars(FrameView frame, int height) {
  const auto rows = static_cast<std::size_t>(std::clamp(height, 0, kMaxBarHeight)) * kFrameWidth;
  std::fill_n(frame.begin(), rows, Rgb565{0});
  std::fill_n(frame.end() - static_cast<std::ptrdiff_t>(rows), rows, Rgb565{0});
}

void close_middle_line(FrameView frame, int n) {
  const int width = std::clamp(n, 0, kFrameWidth / 2);
  for (int row = kMiddleRow; row <= kMiddleRow + 1; ++row) {
    Rgb565* line = frame.data() + row * kFrameWidth;
    std::fill_n(line, width, Rgb565{0});
    std::fill_n(line + kFrameWidth - width, width, Rgb565{0});
  }
}

void draw_overlay(std::span<const Rgb565, kOverlayPixels> overlay, int scroll, FrameView frame) {
  const Rgb565* source = overlay.data() + std::clamp(scroll, 0, kOverlayPixels - kOverlayWindow);
  for (int y = 0; y < kFrameHeight; ++y) {
    Rgb565* out = frame.data() + y * kFrameWidth + kOverlayColumn;
    // A select rather than a skipped store: the loop vectorises and art with scattered
    // see-through pixels costs no mispredictions.
    for (int x = 0; x < kOverlayWidth; ++x) out[x] = source[x] != 0 ? source[x] : out[x];
    source += kOverlayWidth;
  }
}

}  // namespace morvane
