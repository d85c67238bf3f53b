#include "demo_parts/flashes/flashes_part.h"

#include <cstdio>
#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "demo_parts/shade_tables.h"
#include "screen/screen.h"

namespace morvane {

void FlashesPart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  std::array<std::uint8_t, PaletteView::extent> palette{};
  // All ten pictures share the palette stored with the last one.
  for (int i = 0; i < kFlashPictures; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "dans%02d.pcx", i + 1);
    const bool last = i + 1 == kFlashPictures;
    pictures.load_picture(name, buffers_->pictures[static_cast<std::size_t>(i)],
                          last ? std::span<std::uint8_t>(palette) : std::span<std::uint8_t>());
  }
  build_shade_table_64(palette, buffers_->shade);
}

FlashAssets FlashesPart::assets() const {
  if (!buffers_) throw std::logic_error("flash sequence used before its load");
  return FlashAssets{buffers_->pictures, buffers_->shade};
}

void FlashesPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  FlashRun state(assets());
  loop.play_until(kFlashLastOrder, [&](PartClock& clock) {
    state.draw_frame(clock.t(), clock.take_event().has_value(), loop.pixels());
  });
}

void FlashesPart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
