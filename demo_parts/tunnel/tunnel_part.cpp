#include "demo_parts/tunnel/tunnel_part.h"

#include <algorithm>
#include <future>
#include <stdexcept>

#include "demo_parts/frame_loop.h"
#include "demo_parts/shade_tables.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kTexturePixels = kTunnelTextureBytes / 2;

}  // namespace

void TunnelPart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  Buffers& b = *buffers_;
  // The map depends on nothing loaded: built on a second core while the pictures decode, and
  // done before the load returns (or throws: the future waits on destruction).
  auto map = std::async(std::launch::async | std::launch::deferred, [&b] { build_tunnel_map(b.map); });
  std::array<std::uint8_t, PaletteView::extent> palette{};
  pictures.load_picture("shades.pcx", std::span(b.shading).first<kTunnelShadingBytes>(), {});
  b.shading.back() = 0;
  pictures.load_picture("wogtex2.pcx", std::span(b.texture).first<kTexturePixels>(), palette);
  std::copy_n(b.texture.begin(), kTexturePixels, b.texture.begin() + kTexturePixels);
  build_shade_table_64(palette, b.shade);
  map.get();
}

TunnelAssets TunnelPart::assets() const {
  if (!buffers_) throw std::logic_error("tunnel used before its load");
  return TunnelAssets{buffers_->shading, buffers_->texture, buffers_->shade, buffers_->map, buffers_->texels};
}

void TunnelPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  TunnelRun state(assets());
  // This part takes no commands of the module: a pending one stays for the next part.
  loop.play_until(kTunnelLastOrder, [&](PartClock& clock) { state.draw_frame(clock.t(), loop.pixels()); });
}

void TunnelPart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
