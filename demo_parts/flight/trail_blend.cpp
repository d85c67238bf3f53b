#include "demo_parts/flight/trail_blend.h"

#include <cstdint>
#include <cstring>

namespace morvane {

void blend_trail(std::span<Rgb565, kFramePixels> frame, std::span<const Rgb565, kFramePixels> render) {
  constexpr std::uint32_t kHalfMask = 0x7BEF7BEF;
  Rgb565* out = frame.data();
  const Rgb565* in = render.data();
  for (int i = 0; i < kFramePixels; i += 2) {
    // memcpy keeps the word access free of aliasing trouble; it compiles to plain loads.
    std::uint32_t f;
    std::uint32_t r;
    std::memcpy(&f, out + i, sizeof f);
    std::memcpy(&r, in + i, sizeof r);
    f = ((r >> 1) & kHalfMask) + ((f >> 1) & kHalfMask);
    std::memcpy(out + i, &f, sizeof f);
  }
}

}  // namespace morvane
