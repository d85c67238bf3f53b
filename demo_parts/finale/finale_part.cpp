#include "demo_parts/finale/finale_part.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "demo_parts/shade_tables.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kTextureBytes = kDoubledTextureBytes / 2;
constexpr int kPaletteBytes = PaletteView::extent;
using Palette = std::array<std::uint8_t, kPaletteBytes>;

// A 256 x 256 picture into the first half of its buffer, then the same again behind it.
void load_doubled(const PictureSource& pictures, const char* name, const std::unique_ptr<std::uint8_t[]>& texture,
                  std::span<std::uint8_t> palette) {
  pictures.load_picture(name, std::span<std::uint8_t>(texture.get(), kTextureBytes), palette);
  std::copy_n(texture.get(), kTextureBytes, texture.get() + kTextureBytes);
}

// The first address inside the buffer that is a multiple of 65536.
std::span<std::uint8_t, kWavePageBytes> aligned_page(std::uint8_t* buffer) {
  const auto address = reinterpret_cast<std::uintptr_t>(buffer);
  const std::uintptr_t skip = (kWavePageBytes - address % kWavePageBytes) % kWavePageBytes;
  return std::span<std::uint8_t, kWavePageBytes>(buffer + skip, kWavePageBytes);
}

}  // namespace

void FinalePart::load_from(const PictureSource& pictures) {
  light_picture_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  light_texture_ = std::make_unique<std::uint8_t[]>(kDoubledTextureBytes);
  pictures.load_picture("light.pcx", whole<kFramePixels>(light_picture_), {});
  load_doubled(pictures, "light256.pcx", light_texture_, {});

  overlay_ = std::make_unique_for_overwrite<Rgb565[]>(kOverlayPixels);
  light_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  colour_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  intermediate_ = std::make_unique<Rgb565[]>(kFramePixels);

  Palette overlay_palette{};
  overlay_source_ = std::make_unique<std::uint8_t[]>(kOverlayPixels);
  pictures.load_picture("spice.pcx", whole<kOverlayPixels>(overlay_source_), overlay_palette);
  convert_overlay(whole<kOverlayPixels>(overlay_source_), overlay_palette, whole<kOverlayPixels>(overlay_));
  overlay_source_.reset();

  tunnel_ = std::make_unique_for_overwrite<std::uint16_t[]>(kFramePixels);
  build_tunnel_table(whole<kFramePixels>(tunnel_));
  polar_ = std::make_unique_for_overwrite<std::uint16_t[]>(kFramePixels);
  build_polar_table(whole<kFramePixels>(polar_));
  ripple_ = std::make_unique_for_overwrite<std::uint16_t[]>(kRippleEntries);
  build_ripple_table(whole<kRippleEntries>(ripple_));

  std::array<Palette, kFinaleTextures> palettes{};
  static constexpr const char* kTextureNames[kFinaleTextures] = {"wogtex1.pcx", "wogtex2.pcx", "wogtex3.pcx"};
  for (std::size_t i = 0; i < kFinaleTextures; ++i) {
    textures_[i] = std::make_unique<std::uint8_t[]>(kDoubledTextureBytes);
    load_doubled(pictures, kTextureNames[i], textures_[i], palettes[i]);
  }

  wave_buffer_ = std::make_unique<std::uint8_t[]>(kWaveBufferBytes);
  for (std::size_t i = 0; i < kFinaleTextures; ++i) {
    shades_[i] = std::make_unique_for_overwrite<Rgb565[]>(kFinaleShadeEntries);
    build_shade_table_128_white(palettes[i], whole<kFinaleShadeEntries>(shades_[i]));
  }
}

FinaleAssets FinalePart::assets() const {
  if (!wave_buffer_ || !shades_.back()) throw std::logic_error("finale used before its load");
  return FinaleAssets{
      whole<kOverlayPixels>(overlay_),
      whole<kFramePixels>(colour_),
      whole<kFramePixels>(light_),
      whole<kFramePixels>(intermediate_),
      whole<kFramePixels>(light_picture_),
      whole<kDoubledTextureBytes>(light_texture_),
      whole<kRippleEntries>(ripple_),
      whole<kFramePixels>(tunnel_),
      whole<kFramePixels>(polar_),
      {whole<kDoubledTextureBytes>(textures_[0]), whole<kDoubledTextureBytes>(textures_[1]),
       whole<kDoubledTextureBytes>(textures_[2])},
      {whole<kFinaleShadeEntries>(shades_[0]), whole<kFinaleShadeEntries>(shades_[1]),
       whole<kFinaleShadeEntries>(shades_[2])},
      aligned_page(wave_buffer_.get()),
  };
}

void FinalePart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  FinaleRun state(assets());
  PartClock clock(music);
  for (;;) {
    clock.next_frame();
    if (!state.draw_frame(clock.order(), clock.t(), song_event().take(), pixels)) return;
    screen.present_doubled(pixels);
  }
}

void FinalePart::release() noexcept {
  overlay_.reset();
  overlay_source_.reset();
  colour_.reset();
  light_.reset();
  intermediate_.reset();
  light_picture_.reset();
  light_texture_.reset();
  ripple_.reset();
  tunnel_.reset();
  polar_.reset();
  for (auto& texture : textures_) texture.reset();
  for (auto& shade : shades_) shade.reset();
  wave_buffer_.reset();
}

}  // namespace morvane
