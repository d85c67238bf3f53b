#include "demo_parts/lightmap_primitives/lens_flare.h"

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap_primitives/add_blit.h"

namespace morvane {

void draw_lens_flare(LightView light, FlareSheetView flares, int x0, int y0, int x1, int y1) {
  const auto fx = static_cast<float>((static_cast<double>(x1) - x0) * 0.2);
  const auto fy = static_cast<float>((static_cast<double>(y1) - y0) * 0.2);
  for (int f = 0; f < kFlareImages; ++f) {
    // Single precision throughout, as the steps are.
    const float cx = static_cast<float>(x0) + static_cast<float>(f) * fx - 80.0f;
    const float cy = static_cast<float>(y0) + static_cast<float>(f) * fy - 50.0f;
    const BlitRect rect{trunc_to_int(cx), trunc_to_int(cy), 0, kFlareHeight * f, kFlareWidth, kFlareHeight};
    add_blit(light, flares, rect, kFlareCap, kFrameWidth, kFlareWidth);
  }
}

}  // namespace morvane
