#include "demo_parts/grid_fog/grid_fog_part.h"

#include <array>
#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "demo_parts/grid_fog/grid_fog_kernels.h"
#include "screen/screen.h"

namespace morvane {

void GridFogPart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  Buffers& b = *buffers_;
  // The particles come first: they continue the generator's sequence where the earlier loads
  // left it.
  draw_particles(b.positions, b.colours);
  // The picture is needed only while loading.
  const auto picture = std::make_unique<std::array<std::uint8_t, kFramePixels>>();
  std::array<std::uint8_t, kGridFogPaletteBytes> palette{};
  pictures.load_picture("fogback.pcx", *picture, palette);
  build_half_background(*picture, palette, b.background);
}

GridFogAssets GridFogPart::assets() {
  if (!buffers_) throw std::logic_error("grid and fog used before its load");
  Buffers& b = *buffers_;
  return GridFogAssets{b.background, b.grid_image, b.positions, b.colours, b.grid};
}

void GridFogPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  GridFogRun state(assets());
  state.begin(loop.pixels());
  // This part takes no commands of the module: a pending one stays for the next part.
  loop.play_until(kGridFogLastOrder,
                  [&](PartClock& clock) { state.draw_frame(clock.order(), clock.t(), loop.pixels()); });
}

void GridFogPart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
