#include "demo_parts/grid_fog/grid_blend.h"

#include <cstring>

namespace morvane {

void build_half_background(std::span<const std::uint8_t, kFramePixels> picture,
                           std::span<const std::uint8_t, kGridFogPaletteBytes> palette,
                           std::span<Rgb565, kFramePixels> background) {
  for (int i = 0; i < kFramePixels; ++i) {
    const std::uint8_t* colour = palette.data() + 3 * picture[static_cast<std::size_t>(i)];
    const unsigned pixel = (colour[0] & 0xF8u) << 8 | (colour[1] & 0xFCu) << 3 | colour[2] >> 3;
    background[static_cast<std::size_t>(i)] = half_pixel(static_cast<Rgb565>(pixel));
  }
}

void blend_grid(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> grid_image,
                std::span<const Rgb565, kFramePixels> background) {
  Rgb565* out = frame.data();
  const Rgb565* grid = grid_image.data();
  const Rgb565* back = background.data();
  for (int i = 0; i < kFramePixels; i += 2) {
    // memcpy keeps the word access free of aliasing trouble; it compiles to plain loads.
    std::uint32_t f, g, b;
    std::memcpy(&f, out + i, sizeof f);
    std::memcpy(&g, grid + i, sizeof g);
    std::memcpy(&b, back + i, sizeof b);
    // Halved lanes never carry into each other: 0x7BEF + 0x7BEF stays below 0x10000.
    const std::uint32_t layered = half_pixel_pair(g) + b;
    f = half_pixel_pair(f) + half_pixel_pair(layered);
    std::memcpy(out + i, &f, sizeof f);
  }
}

}  // namespace morvane
