#include "demo_parts/tunnel/tunnel_part.h"

#include <algorithm>
#include <stdexcept>

#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "demo_parts/shade_tables.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kPaletteBytes = PaletteView::extent;
constexpr int kTexturePixels = kTunnelTextureBytes / 2;

}  // namespace

void TunnelPart::load_from(const PictureSource& pictures) {
  map_ = std::make_unique_for_overwrite<std::uint8_t[]>(kTunnelMapBytes);
  build_tunnel_map(whole<kTunnelMapBytes>(map_));
  palette_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  shade_ = std::make_unique_for_overwrite<Rgb565[]>(kTunnelShadeEntries);
  texture_ = std::make_unique<std::uint8_t[]>(kTunnelTextureBytes);
  // One byte more than the picture, kept 0: see TunnelAssets::shading.
  shading_ = std::make_unique<std::uint8_t[]>(kTunnelShadingBytes + 1);
  texels_ = std::make_unique<std::uint8_t[]>(kFramePixels);

  pictures.load_picture("shades.pcx", std::span<std::uint8_t>(shading_.get(), kTunnelShadingBytes), {});
  pictures.load_picture("wogtex2.pcx", std::span<std::uint8_t>(texture_.get(), kTexturePixels),
                        whole<kPaletteBytes>(palette_));
  std::copy_n(texture_.get(), kTexturePixels, texture_.get() + kTexturePixels);
  build_shade_table_64(whole<kPaletteBytes>(palette_), whole<kTunnelShadeEntries>(shade_));
}

TunnelAssets TunnelPart::assets() const {
  if (!texels_ || !shade_) throw std::logic_error("tunnel used before its load");
  return TunnelAssets{whole<kTunnelShadingBytes + 1>(shading_), whole<kTunnelTextureBytes>(texture_),
                      whole<kTunnelShadeEntries>(shade_), whole<kTunnelMapBytes>(map_), whole<kFramePixels>(texels_)};
}

void TunnelPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  TunnelRun state(assets());
  PartClock clock(music);
  // This part takes no commands of the module: a pending one stays for the next part.
  for (;;) {
    clock.next_frame();
    state.draw_frame(clock.t(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kTunnelLastOrder) return;
  }
}

void TunnelPart::release() noexcept {
  shading_.reset();
  texture_.reset();
  palette_.reset();
  shade_.reset();
  map_.reset();
  texels_.reset();
}

}  // namespace morvane
