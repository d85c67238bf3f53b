#pragma once
// The two pixel types of the program and the frame sizes every scene draws at.
#include <cstdint>

namespace morvane {

// 16-bit frame pixel: bits 15-11 red, 10-5 green, 4-0 blue.
using Rgb565 = std::uint16_t;
// Pixel of the Screen's display-sized buffer: 0x00RRGGBB.
using Pixel32 = std::uint32_t;

inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 200;
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;
inline constexpr int kDisplayWidth = 640;
inline constexpr int kDisplayHeight = 480;

// Widens each component by repeating its top bits, so that truncating back to 5/6 bits is exact.
constexpr Pixel32 to_pixel32(Rgb565 p) {
  const std::uint32_t r5 = (p >> 11) & 0x1F;
  const std::uint32_t g6 = (p >> 5) & 0x3F;
  const std::uint32_t b5 = p & 0x1F;
  const std::uint32_t r = (r5 << 3) | (r5 >> 2);
  const std::uint32_t g = (g6 << 2) | (g6 >> 4);
  const std::uint32_t b = (b5 << 3) | (b5 >> 2);
  return (r << 16) | (g << 8) | b;
}

}  // namespace morvane
