#pragma once
// Rays of light from a source behind a mask: short rays everywhere, the covered pixels put out,
// then long rays from every near point that the mask does not cover.
#include <cstdint>
#include <span>

#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

inline constexpr int kRayCount = 1024;
inline constexpr int kRayAmount = 1;

struct Ray {
  std::int16_t target_x;  // set at load
  std::int16_t target_y;
  std::int16_t near_x;  // 3% of the way from the source to the target, set per frame
  std::int16_t near_y;
  std::uint8_t hidden;  // the near point is covered: no long ray
};

// 64000 bytes laid out like the light map's visible area; nonzero covers the pixel.
using MaskWindow = std::span<const std::uint8_t, kFramePixels>;

// Where a ray from (sx, sy) towards its target stops being short.
void place_near_point(Ray& ray, int sx, int sy);

void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy);

}  // namespace morvane
