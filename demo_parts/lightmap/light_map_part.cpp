#include "demo_parts/lightmap/light_map_part.h"

#include <algorithm>
#include <future>
#include <stdexcept>

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap/light_rays.h"
#include "demo_parts/frame_loop.h"
#include "demo_parts/shade_tables.h"
#include "screen/screen.h"

namespace morvane {

void LightMapPart::load_from(const PictureSource& pictures) {
  buffers_ = std::make_unique_for_overwrite<Buffers>();
  Buffers& b = *buffers_;
  // The warp tables depend on nothing loaded: built on a second core while the pictures decode,
  // and done before the load returns (or throws: the future waits on destruction).
  auto warps = std::async(std::launch::async | std::launch::deferred, [&b] {
    build_warp_table(kWarp1Angle, kWarp1Scale, b.warp1);
    build_warp_table(kWarp2Angle, kWarp2Scale, b.warp2);
  });
  build_curve_weights(b.weights[0], b.weights[1], b.weights[2], b.weights[3]);
  std::array<std::uint8_t, PaletteView::extent> palette{};
  pictures.load_picture("sprott.pcx", b.dot, {});
  pictures.load_picture("gl_pic.pcx", b.picture, palette);
  pictures.load_picture("gl_tex.pcx", b.texture, {});
  build_shade_table_128_additive(palette, b.shade);

  // After the mask picture: ten rows of 255, then the rows a shaking window may reach, also 255.
  std::fill(b.mask.begin(), b.mask.end(), kMaskCovered);
  pictures.load_picture("flares.pcx", b.flares, {});
  pictures.load_picture("liglog.pcx", std::span(b.mask).first<kMaskPictureBytes>(), palette);

  aim_rays(b.rays);
  warps.get();
}

LightMapAssets LightMapPart::assets() const {
  if (!buffers_) throw std::logic_error("light-map scene used before its load");
  Buffers& b = *buffers_;
  return LightMapAssets{
      b.shade,   b.dot,   b.picture, b.texture, CurveWeights{b.weights[0], b.weights[1], b.weights[2], b.weights[3]},
      b.mask,    b.flares, b.warp1, b.warp2,   b.map_a,   b.map_b,
      b.rays,    b.ray_hits, b.points,
  };
}

void LightMapPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  FrameLoop loop(screen, music, frame);
  LightMapRun state(assets());
  state.begin(loop.pixels());
  loop.play_until(kLightMapFirstLastOrder, [&](PartClock& clock) {
    state.draw_feedback_frame(clock.order(), clock.t(), clock.take_event(), loop.pixels());
  });
  state.begin_rays();
  loop.play_until(kLightMapLastOrder, [&](PartClock& clock) {
    state.draw_rays_frame(trunc_to_int(clock.t()), clock.take_event(), loop.pixels());
  });
}

void LightMapPart::release() noexcept { buffers_.reset(); }

}  // namespace morvane
