#include "demo_parts/finale/finale_compose.h"

#include <algorithm>

namespace morvane {
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
