#include "demo_parts/opening/opening_part.h"

#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "demo_parts/kernel_constants.h"
#include "demo_parts/shade_tables.h"
#include "engine/demo_rand.h"
#include "screen/screen.h"

namespace morvane {
namespace {

// 0..32767 onto -126..129 with 255/32767 as a 32-bit float.
float random_coordinate() { return static_cast<float>(demo_rand()) * k255Over32767F - 126; }

}  // namespace

void OpeningPart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  Buffers& b = *buffers_;
  // The points come first: later load steps continue the same random sequence.
  for (CloudPoint& p : b.points) {
    p.x = random_coordinate();
    p.y = random_coordinate();
    p.z = random_coordinate();
  }
  std::array<std::uint8_t, PaletteView::extent> palette1{};
  std::array<std::uint8_t, PaletteView::extent> palette2{};
  pictures.load_picture("begin_bw.pcx", b.mask_image, {});
  pictures.load_picture("sprott.pcx", b.sprite, {});
  pictures.load_picture("begin.pcx", b.image1, palette1);
  pictures.load_picture("begin2.pcx", b.image2, palette2);
  build_shade_table_256(palette1, b.shade1);
  build_shade_table_256(palette2, b.shade2);
}

OpeningAssets OpeningPart::assets() const {
  if (!buffers_) throw std::logic_error("opening scene used before its load");
  Buffers& b = *buffers_;
  return OpeningAssets{b.sprite, b.mask_image, b.image1, b.image2, b.shade1, b.shade2, b.glow, b.points};
}

void OpeningPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  OpeningRun state(assets());
  loop.play_until(kOpeningLastOrder, [&](PartClock& clock) {
    state.draw_frame(clock.order(), clock.t(), clock.take_event(), loop.pixels());
  });
}

void OpeningPart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
