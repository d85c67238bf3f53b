#include "demo_parts/half_blend.h"

#include <cstring>

namespace morvane {

void blend_trail(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> render) {
  Rgb565* out = frame.data();
  const Rgb565* in = render.data();
  for (int i = 0; i < kFramePixels; i += 2) {
    // memcpy keeps the word access free of aliasing trouble; it compiles to plain loads.
    std::uint32_t f;
    std::uint32_t r;
    std::memcpy(&f, out + i, sizeof f);
    std::memcpy(&r, in + i, sizeof r);
    f = half_pixel_pair(r) + half_pixel_pair(f);
    std::memcpy(out + i, &f, sizeof f);
  }
}

}  // namespace morvane
