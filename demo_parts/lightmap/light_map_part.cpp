#include "demo_parts/lightmap/light_map_part.h"

#include <algorithm>
#include <stdexcept>

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap/ray_targets.h"
#include "demo_parts/owned_buffer.h"
#include "demo_parts/part_clock.h"
#include "demo_parts/shade_tables.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {
namespace {

constexpr int kPaletteBytes = PaletteView::extent;
constexpr int kDotBytes = kDotSide * kDotSide;

}  // namespace

void LightMapPart::load_from(const PictureSource& pictures) {
  weight0_ = std::make_unique<float[]>(kCurveWeightEntries);
  weight1_ = std::make_unique<float[]>(kCurveWeightEntries);
  weight2_ = std::make_unique<float[]>(kCurveWeightEntries);
  weight3_ = std::make_unique<float[]>(kCurveWeightEntries);
  build_curve_weights(whole<kCurveWeightEntries>(weight0_), whole<kCurveWeightEntries>(weight1_),
                      whole<kCurveWeightEntries>(weight2_), whole<kCurveWeightEntries>(weight3_));
  points_ = std::make_unique<CurvePoint[]>(kCurvePointStore);
  dot_ = std::make_unique<std::uint8_t[]>(kDotBytes);
  picture_ = std::make_unique<std::uint8_t[]>(kFramePixels);
  palette_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  texture_ = std::make_unique<std::uint8_t[]>(kFrameTextureBytes);
  pictures.load_picture("sprott.pcx", whole<kDotBytes>(dot_), {});
  pictures.load_picture("gl_pic.pcx", whole<kFramePixels>(picture_), whole<kPaletteBytes>(palette_));
  pictures.load_picture("gl_tex.pcx", whole<kFrameTextureBytes>(texture_), {});

  shade_ = std::make_unique_for_overwrite<Rgb565[]>(kLightShadeEntries);
  build_shade_table_128_additive(whole<kPaletteBytes>(palette_), whole<kLightShadeEntries>(shade_));

  map_a_ = std::make_unique<std::uint8_t[]>(kLightMapBytes);
  map_b_ = std::make_unique<std::uint8_t[]>(kLightMapBytes);
  warp1_ = std::make_unique_for_overwrite<std::uint16_t[]>(kFramePixels);
  warp2_ = std::make_unique_for_overwrite<std::uint16_t[]>(kFramePixels);
  build_warp_table(kWarp1Angle, kWarp1Scale, whole<kFramePixels>(warp1_));
  build_warp_table(kWarp2Angle, kWarp2Scale, whole<kFramePixels>(warp2_));

  // After the mask picture: ten rows of 255, then the rows a shaking window may reach, also 255.
  mask_ = std::make_unique_for_overwrite<std::uint8_t[]>(kMaskBufferBytes);
  std::fill(mask_.get(), mask_.get() + kMaskBufferBytes, kMaskCovered);
  mask_palette_ = std::make_unique<std::uint8_t[]>(kPaletteBytes);
  flares_ = std::make_unique<std::uint8_t[]>(kFlareSheetBytes);
  pictures.load_picture("flares.pcx", whole<kFlareSheetBytes>(flares_), {});
  pictures.load_picture("liglog.pcx", std::span<std::uint8_t>(mask_.get(), kMaskPictureBytes),
                        whole<kPaletteBytes>(mask_palette_));

  grey_ = std::make_unique_for_overwrite<Rgb565[]>(kGreyLevels);
  build_grey_ramp(whole<kGreyLevels>(grey_));

  rays_ = std::make_unique<Ray[]>(kRayCount);
  aim_rays(whole<kRayCount>(rays_));
}

LightMapAssets LightMapPart::assets() const {
  if (!rays_ || !map_b_) throw std::logic_error("light-map scene used before its load");
  return LightMapAssets{
      whole<kLightShadeEntries>(shade_),
      whole<kGreyLevels>(grey_),
      whole<kDotSide * kDotSide>(dot_),
      whole<kFramePixels>(picture_),
      whole<kFrameTextureBytes>(texture_),
      CurveWeights{whole<kCurveWeightEntries>(weight0_), whole<kCurveWeightEntries>(weight1_),
                   whole<kCurveWeightEntries>(weight2_), whole<kCurveWeightEntries>(weight3_)},
      whole<kMaskBufferBytes>(mask_),
      whole<kFlareSheetBytes>(flares_),
      whole<kFramePixels>(warp1_),
      whole<kFramePixels>(warp2_),
      whole<kLightMapBytes>(map_a_),
      whole<kLightMapBytes>(map_b_),
      whole<kRayCount>(rays_),
      whole<kCurvePointStore>(points_),
  };
}

std::span<const std::uint8_t, 768> LightMapPart::picture_palette() const {
  if (!palette_) throw std::logic_error("light-map scene used before its load");
  return whole<kPaletteBytes>(palette_);
}

void LightMapPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
  const auto pixels = frame.first<kFramePixels>();
  LightMapRun state(assets());
  state.begin(pixels);
  PartClock clock(music);
  for (;;) {
    clock.next_frame();
    state.draw_feedback_frame(clock.order(), clock.t(), song_event().take(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kLightMapFirstLastOrder) break;
  }
  state.begin_rays();
  for (;;) {
    clock.next_frame();
    state.draw_rays_frame(trunc_to_int(clock.t()), song_event().take(), pixels);
    screen.present_doubled(pixels);
    if (clock.order() >= kLightMapLastOrder) return;
  }
}

void LightMapPart::release() noexcept {
  shade_.reset();
  grey_.reset();
  dot_.reset();
  picture_.reset();
  palette_.reset();
  texture_.reset();
  weight0_.reset();
  weight1_.reset();
  weight2_.reset();
  weight3_.reset();
  mask_.reset();
  mask_palette_.reset();
  flares_.reset();
  warp1_.reset();
  warp2_.reset();
  map_a_.reset();
  map_b_.reset();
  rays_.reset();
  points_.reset();
}

}  // namespace morvane
