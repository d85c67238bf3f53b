#pragma once
// Colour grid waves and particle fog: a coarse grid of colour nodes, smoothly spread over the
// frame, laid over a dimmed background and trailing into the frame before. The grid carries
// colour waves, and from order 34 a fog of coloured particles. Plays until order 36.
#include <array>
#include <memory>

#include "demo_parts/grid_fog/grid_fog_run.h"
#include "demo_parts/picture_source.h"
#include "core/demo_part.h"

namespace morvane {

class GridFogPart final : public DemoPart {
 public:
  // The load step without the archive: draws the particles from the program's generator, then
  // reads the background picture and dims it.
  void load_from(const PictureSource& pictures);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

  // The loaded buffers and the grid (only valid after a load).
  GridFogAssets assets();

 protected:
  void load_assets(const Archive& archive) override { load_from(ArchivePictures(archive)); }
  void release() noexcept override;

 private:
  struct Buffers {
    std::array<Rgb565, kFramePixels> background;
    std::array<Rgb565, kFramePixels> grid_image{};
    std::array<ParticlePosition, kFogParticles> positions;
    std::array<ParticleColour, kFogParticles> colours;
    ColourGrid grid{};
  };
  std::unique_ptr<Buffers> buffers_;
};

}  // namespace morvane
