#include "demo_parts/flashes/flashes_part.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "demo_parts/shade_tables.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kPaletteBytes = PaletteView::extent;

}  // namespace

void FlashesPart::load_from(const PictureSource& pictures) {
  for (auto& picture : pictures_) picture = std::make_unique<std::uint8_t[]>(kFramePixels);
  palette_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  shade_ = std::make_unique_for_overwrite<Rgb565[]>(kFlashShadeEntries);

  // All ten pictures share the palette stored with the last one.
  for (int i = 0; i < kFlashPictures; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "dans%02d.pcx", i + 1);
    const bool last = i + 1 == kFlashPictures;
    pictures.load_picture(name, whole<kFramePixels>(pictures_[static_cast<std::size_t>(i)]),
                          last ? std::span<std::uint8_t>(whole<kPaletteBytes>(palette_)) : std::span<std::uint8_t>());
  }
  build_shade_table_64(whole<kPaletteBytes>(palette_), whole<kFlashShadeEntries>(shade_));
}

FlashAssets FlashesPart::assets() const {
  if (!shade_) throw std::logic_error("flash sequence used before its load");
  const auto views = [this]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<std::span<const std::uint8_t, kFramePixels>, kFlashPictures>{whole<kFramePixels>(pictures_[I])...};
  };
  return FlashAssets{views(std::make_index_sequence<kFlashPictures>{}), whole<kFlashShadeEntries>(shade_)};
}

void FlashesPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  FlashRun state(assets());
  PartClock clock(music);
  for (;;) {
    clock.next_frame();
    state.draw_frame(clock.t(), song_event().take().has_value(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kFlashLastOrder) return;
  }
}

void FlashesPart::release() noexcept {
  for (auto& picture : pictures_) picture.reset();
  palette_.reset();
  shade_.reset();
}

}  // namespace morvane
