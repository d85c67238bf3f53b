#include "demo_parts/finale/finale_part.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "demo_parts/shade_tables.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kTextureBytes = kDoubledTextureBytes / 2;
using Palette = std::array<std::uint8_t, PaletteView::extent>;

// A 256 x 256 picture into the first half of its buffer, then the same again behind it.
void load_doubled(const PictureSource& pictures, const char* name, std::span<std::uint8_t, kDoubledTextureBytes> texture,
                  std::span<std::uint8_t> palette) {
  pictures.load_picture(name, texture.first<kTextureBytes>(), palette);
  std::copy_n(texture.begin(), kTextureBytes, texture.begin() + kTextureBytes);
}

// The first address inside the buffer that is a multiple of 65536.
std::span<std::uint8_t, kWavePageBytes> aligned_page(std::uint8_t* buffer) {
  const auto address = reinterpret_cast<std::uintptr_t>(buffer);
  const std::uintptr_t skip = (kWavePageBytes - address % kWavePageBytes) % kWavePageBytes;
  return std::span<std::uint8_t, kWavePageBytes>(buffer + skip, kWavePageBytes);
}

}  // namespace

void FinalePart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  Buffers& b = *buffers_;
  // The pixel tables depend on nothing loaded: built on a second core while the pictures
  // decode, and done before the load returns (or throws: the future waits on destruction).
  auto tables = std::async(std::launch::async | std::launch::deferred, [&b] {
    build_tunnel_table(b.tunnel);
    build_polar_table(b.polar);
    build_ripple_table(b.ripple);
  });
  pictures.load_picture("light.pcx", b.light_picture, {});
  load_doubled(pictures, "light256.pcx", b.light_texture, {});

  // The overlay's 8-bit source is needed only while loading.
  {
    Palette palette{};
    const auto source = std::make_unique<std::array<std::uint8_t, kOverlayPixels>>();
    pictures.load_picture("spice.pcx", *source, palette);
    convert_overlay(*source, palette, b.overlay);
  }

  std::array<Palette, kFinaleTextures> palettes{};
  static constexpr const char* kTextureNames[kFinaleTextures] = {"wogtex1.pcx", "wogtex2.pcx", "wogtex3.pcx"};
  for (std::size_t i = 0; i < kFinaleTextures; ++i) load_doubled(pictures, kTextureNames[i], b.textures[i], palettes[i]);
  for (std::size_t i = 0; i < kFinaleTextures; ++i) build_shade_table_128_white(palettes[i], b.shades[i]);
  tables.get();
}

FinaleAssets FinalePart::assets() const {
  if (!buffers_) throw std::logic_error("finale used before its load");
  Buffers& b = *buffers_;
  return FinaleAssets{
      b.overlay,
      b.colour,
      b.light,
      b.intermediate,
      b.light_picture,
      b.light_texture,
      b.ripple,
      b.tunnel,
      b.polar,
      {b.textures[0], b.textures[1], b.textures[2]},
      {b.shades[0], b.shades[1], b.shades[2]},
      aligned_page(b.wave_buffer.data()),
  };
}

void FinalePart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  FinaleRun state(assets());
  // The module's last command ends the part before its frame is shown.
  loop.play_until(kNoLastOrder, [&](PartClock& clock) {
    return state.draw_frame(clock.order(), clock.t(), clock.take_event(), loop.pixels()) ? FrameEnd::next : FrameEnd::unshown;
  });
}

void FinalePart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
