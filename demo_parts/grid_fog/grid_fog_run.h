#pragma once
// One run of the grid-and-fog scene: colour waves on the grid until order 34, the particle fog
// from then on; the grid image is laid over the dimmed background and averaged into the frame
// shown before, which starts white.
#include <span>

#include "demo_parts/grid_fog/grid_fog_kernels.h"
#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kGridFogFogOrder = 34;
inline constexpr int kGridFogLastOrder = 36;

struct GridFogAssets {
  std::span<const Rgb565, kFramePixels> background;
  std::span<Rgb565, kFramePixels> grid_image;
  std::span<const ParticlePosition, kFogParticles> positions;
  std::span<const ParticleColour, kFogParticles> colours;
  ColourGrid& grid;
};

enum class GridFogPhase { kWaves, kFog };

class GridFogRun {
 public:
  explicit GridFogRun(const GridFogAssets& assets) : assets_(assets) {}

  // The run's start: the frame turns white and the waves phase begins.
  void begin(std::span<Rgb565, kFramePixels> frame);
  // One frame at the given order and local time; from order 34 on the fog stays.
  void draw_frame(int order, float t, std::span<Rgb565, kFramePixels> frame);

  GridFogPhase phase() const { return phase_; }

 private:
  GridFogAssets assets_;
  GridFogPhase phase_ = GridFogPhase::kWaves;
};

}  // namespace morvane
