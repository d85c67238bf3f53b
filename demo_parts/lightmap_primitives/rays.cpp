#include "demo_parts/lightmap_primitives/rays.h"

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap_primitives/thick_line.h"

namespace morvane {
namespace {

constexpr double kNearFraction = 0.03;

std::int16_t near_coordinate(int target, int source) {
  // Targets and sources are 16-bit and screen-sized, so the near point stays 16-bit.
  return static_cast<std::int16_t>(trunc_to_int((static_cast<double>(target) - source) * kNearFraction + source));
}

bool covered(MaskWindow mask, int x, int y) {
  // Row 0 and column 0 are never tested.
  return x > 0 && x < kFrameWidth && y > 0 && y < kFrameHeight && mask[static_cast<std::size_t>(y * kFrameWidth + x)] != 0;
}

}  // namespace

void place_near_point(Ray& ray, int sx, int sy) {
  ray.near_x = near_coordinate(ray.target_x, sx);
  ray.near_y = near_coordinate(ray.target_y, sy);
}

void draw_rays(LightView light, MaskWindow mask, std::span<Ray> rays, int sx, int sy) {
  for (Ray& ray : rays) {
    place_near_point(ray, sx, sy);
    ray.hidden = 0;
    draw_thick_line(sx, sy, ray.near_x, ray.near_y, kRayAmount, light);
    if (covered(mask, ray.near_x, ray.near_y)) ray.hidden = 1;
  }
  std::uint8_t* out = light.data();
  const std::uint8_t* cover = mask.data();
  for (int i = 0; i < kFramePixels; ++i) {
    if (cover[i] != 0) out[i] = 0;
  }
  for (const Ray& ray : rays) {
    if (ray.hidden == 0) draw_thick_line(ray.near_x, ray.near_y, ray.target_x, ray.target_y, kRayAmount, light);
  }
}

}  // namespace morvane
