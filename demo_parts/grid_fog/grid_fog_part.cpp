#include "demo_parts/grid_fog/grid_fog_part.h"

#include <array>
#include <stdexcept>

#include "demo_parts/grid_fog/grid_blend.h"
#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "screen/screen.h"

namespace morvane {

void GridFogPart::load_from(const PictureSource& pictures) {
  // The particles come first: they continue the generator's sequence where the earlier loads
  // left it.
  positions_ = std::make_unique_for_overwrite<ParticlePosition[]>(kFogParticles);
  colours_ = std::make_unique_for_overwrite<ParticleColour[]>(kFogParticles);
  draw_particles(whole<kFogParticles>(positions_), whole<kFogParticles>(colours_));

  grid_image_ = std::make_unique<Rgb565[]>(kFramePixels);
  background_ = std::make_unique_for_overwrite<Rgb565[]>(kFramePixels);
  picture_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  std::array<std::uint8_t, kGridFogPaletteBytes> palette{};
  pictures.load_picture("fogback.pcx", whole<kFramePixels>(picture_), palette);
  build_half_background(whole<kFramePixels>(picture_), palette, whole<kFramePixels>(background_));
  picture_.reset();
}

GridFogAssets GridFogPart::assets() {
  if (!background_ || !grid_image_ || !positions_ || !colours_) {
    throw std::logic_error("grid and fog used before its load");
  }
  return GridFogAssets{whole<kFramePixels>(background_), whole<kFramePixels>(grid_image_),
                       whole<kFogParticles>(positions_), whole<kFogParticles>(colours_), grid_};
}

void GridFogPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  GridFogRun state(assets());
  state.begin(pixels);
  PartClock clock(music);
  // This part takes no commands of the module: a pending one stays for the next part.
  for (;;) {
    clock.next_frame();
    state.draw_frame(clock.order(), clock.t(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kGridFogLastOrder) return;
  }
}

void GridFogPart::release() noexcept {
  picture_.reset();
  background_.reset();
  grid_image_.reset();
  positions_.reset();
  colours_.reset();
}

}  // namespace morvane
