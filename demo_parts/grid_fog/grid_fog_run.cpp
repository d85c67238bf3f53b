#include "demo_parts/grid_fog/grid_fog_run.h"

#include <algorithm>

#include "demo_parts/grid_fog/grid_fog_kernels.h"

namespace morvane {

void GridFogRun::begin(std::span<Rgb565, kFramePixels> frame) {
  std::fill(frame.begin(), frame.end(), Rgb565{0xFFFF});
  phase_ = GridFogPhase::kWaves;
}

void GridFogRun::draw_frame(int order, float t, std::span<Rgb565, kFramePixels> frame) {
  if (order >= kGridFogFogOrder) phase_ = GridFogPhase::kFog;
  if (phase_ == GridFogPhase::kFog) {
    fill_fog(assets_.grid, t, assets_.positions, assets_.colours);
  } else {
    fill_waves(assets_.grid, t);
  }
  interpolate_grid(assets_.grid, assets_.grid_image);
  blend_grid(frame, assets_.grid_image, assets_.background);
}

}  // namespace morvane
