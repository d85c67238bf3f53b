#include "demo_parts/opening/opening_part.h"

#include <stdexcept>

#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "demo_parts/shade_tables.h"
#include "engine/demo_rand.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kPaletteBytes = PaletteView::extent;

// 0..32767 onto -126..129 with 255/32767 as a 32-bit float.
float random_coordinate() { return static_cast<float>(demo_rand()) * 0.0077822199f - 126; }

}  // namespace

void OpeningPart::load_from(const PictureSource& pictures) {
  // The points come first: later load steps continue the same random sequence.
  points_ = std::make_unique_for_overwrite<CloudPoint[]>(kCloudPoints);
  for (int i = 0; i < kCloudPoints; ++i) {
    CloudPoint& p = points_[i];
    p.x = random_coordinate();
    p.y = random_coordinate();
    p.z = random_coordinate();
  }
  palette1_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  palette2_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  sprite_ = std::make_unique<std::uint8_t[]>(kSpriteSide * kSpriteSide);
  mask_image_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  image1_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  image2_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  shade1_ = std::make_unique_for_overwrite<Rgb565[]>(kOpeningShadeEntries);
  shade2_ = std::make_unique_for_overwrite<Rgb565[]>(kOpeningShadeEntries);
  glow_ = std::make_unique<std::uint8_t[]>(kFramePixels);

  pictures.load_picture("begin_bw.pcx", whole<kFramePixels>(mask_image_), {});
  pictures.load_picture("sprott.pcx", whole<kSpriteSide * kSpriteSide>(sprite_), {});
  pictures.load_picture("begin.pcx", whole<kFramePixels>(image1_), whole<kPaletteBytes>(palette1_));
  pictures.load_picture("begin2.pcx", whole<kFramePixels>(image2_), whole<kPaletteBytes>(palette2_));

  build_shade_table_256(whole<kPaletteBytes>(palette1_), whole<kOpeningShadeEntries>(shade1_));
  build_shade_table_256(whole<kPaletteBytes>(palette2_), whole<kOpeningShadeEntries>(shade2_));
}

OpeningAssets OpeningPart::assets() const {
  if (!glow_ || !shade2_) throw std::logic_error("opening scene used before its load");
  return OpeningAssets{
      whole<kSpriteSide * kSpriteSide>(sprite_),
      whole<kFramePixels>(mask_image_),
      whole<kFramePixels>(image1_),
      whole<kFramePixels>(image2_),
      whole<kOpeningShadeEntries>(shade1_),
      whole<kOpeningShadeEntries>(shade2_),
      whole<kFramePixels>(glow_),
      whole<kCloudPoints>(points_),
  };
}

void OpeningPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  OpeningRun state(assets());
  PartClock clock(music);
  for (;;) {
    clock.next_frame();
    state.draw_frame(clock.order(), clock.t(), song_event().take(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kOpeningLastOrder) return;
  }
}

void OpeningPart::release() noexcept {
  sprite_.reset();
  mask_image_.reset();
  image1_.reset();
  image2_.reset();
  shade1_.reset();
  shade2_.reset();
  glow_.reset();
  palette1_.reset();
  palette2_.reset();
  points_.reset();
}

}  // namespace morvane
