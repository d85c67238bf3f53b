#include "demo_parts/lightmap/ray_targets.h"

#include <cmath>

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap_primitives/light_map.h"
#include "engine/demo_rand.h"

namespace morvane {

void aim_rays(std::span<Ray, kRayCount> rays) {
  for (int i = 0; i < kRayCount; ++i) {
    const double theta = (i * 360 / kRayCount) * kRadiansPerDegree;  // whole degrees
    const int r1 = demo_rand();
    const int r2 = demo_rand();
    Ray& ray = rays[static_cast<std::size_t>(i)];
    ray.target_x = static_cast<std::int16_t>(trunc_to_int(r1 * 640.0 / 32767 - 320 + 320 * std::sin(theta) + 160));
    ray.target_y = static_cast<std::int16_t>(trunc_to_int(r2 * 640.0 / 32767 - 320 + 200 * std::cos(theta) + 100));
    ray.near_x = 0;
    ray.near_y = 0;
    ray.hidden = 0;
  }
}

}  // namespace morvane
