#include "demo_parts/lightmap/light_map_run.h"

#include <algorithm>
#include <cmath>

#include "demo_parts/float_to_int.h"
#include "demo_parts/lightmap/light_map_kernels.h"

namespace morvane {
namespace {

constexpr std::uint8_t kFeedbackStartLevel = 127;
constexpr std::uint8_t kFlashLevel = 63;
constexpr Rgb565 kWhite = 0xFFFF;

// Phase-1 commands toggle, phase-2 commands set.
constexpr std::uint8_t kToggleFeedback = 1;
constexpr std::uint8_t kToggleFrame = 2;
constexpr std::uint8_t kToggleWideWarp = 3;
constexpr std::uint8_t kFlashCommand = 1;
constexpr std::uint8_t kShakeCommand = 2;

constexpr int kMaskRestRow = 210;
constexpr int kRiseRows = 200;
constexpr double kRiseDivisor = 13000;

void fill_visible(LightMapBuffer map, std::uint8_t level) {
  const LightView visible = visible_area(map);
  std::fill(visible.begin(), visible.end(), level);
}

}  // namespace

void LightMapRun::begin(std::span<Rgb565, kFramePixels> frame) {
  fill_visible(assets_.map_a, kFeedbackStartLevel);
  fill_visible(assets_.map_b, kFeedbackStartLevel);
  std::fill(frame.begin(), frame.end(), kWhite);
  a_current_ = true;
  feedback_ = true;
  frame_shown_ = false;
  wide_warp_ = false;
}

void LightMapRun::draw_feedback_frame(int order, float t, std::optional<std::uint8_t> event,
                                      std::span<Rgb565, kFramePixels> frame) {
  if (event == kToggleFeedback) feedback_ = !feedback_;
  if (event == kToggleFrame) frame_shown_ = !frame_shown_;
  if (event == kToggleWideWarp) wide_warp_ = !wide_warp_;

  // Angles in radians per tick: 1.3, 0.4, 0.16, 1 and 0.8 degrees.
  if (!feedback_) {
    fill_visible(current(), 0);
    if (order != kCurvesAloneOrder) {
      const auto s = static_cast<float>(1.3 + 0.39 * std::cos(kDegrees1_3 * t));
      draw_glow_curves(s, trunc_to_int(1.3 * t), visible_area(current()), assets_.dot, assets_.weights, assets_.points);
    }
    if (frame_shown_) {
      const auto zoom = static_cast<float>(0.5 + 0.49 * std::sin(kDegrees0_4 * t));
      const auto angle = static_cast<float>(360 * std::sin(kDegrees0_16 * t));
      draw_textured_frame(zoom, angle, visible_area(current()), assets_.texture);
    }
  }
  const auto s = static_cast<float>(1.3 + 0.39 * std::sin(kDegree10 * t));
  const int a = trunc_to_int(180 + 179 * std::sin(kDegrees0_8 * t));
  draw_glow_curves(s, a, visible_area(current()), assets_.dot, assets_.weights, assets_.points);

  if (feedback_) {
    blur_light_map(current());
    warp_light_map(visible_area(current()), visible_area(other()), wide_warp_ ? assets_.warp2 : assets_.warp1);
    swap_maps();
    shade_light_map(frame, visible_area(current()), assets_.shade, assets_.picture);
  } else {
    blend_shaded_light_map(frame, visible_area(current()), assets_.shade, assets_.picture);
  }
}

void LightMapRun::begin_rays() {
  fill_visible(current(), 0);
  flash_ = false;
  rise_ = false;
  shake_ = false;
  flash_time_ = -1.0f;
  shake_time_ = -1.0f;
  window_offset_ = kMaskRestOffset;
}

LightSource LightMapRun::place_source(int t) {
  // 0.835 and 0.953 degrees per tick.
  auto x = static_cast<float>(160 + 90 * std::sin(kDegrees0_835 * t));
  auto y = static_cast<float>(100 + 60 * std::cos(kDegrees0_953 * t));
  if (shake_) {
    const double w = (static_cast<float>(t) - shake_time_) * 0.1;
    const double swing = w * std::sin(w * w);
    if (!rise_) {
      window_offset_ = kMaskRestOffset + std::clamp(trunc_to_int(swing), 0, kMaskShakeBytes);
    } else {
      const double d = static_cast<float>(t) - flash_time_;
      const int risen = std::clamp(trunc_to_int(d * d * d / kRiseDivisor), 0, kRiseRows);
      window_offset_ = (kMaskRestRow - risen) * kFrameWidth;
    }
    x = static_cast<float>(x + swing);
    y = static_cast<float>(y + w * std::cos(1.9 * w * w));
    // Kept on the screen; a NaN cannot arise from finite times, but would land at 0 as well.
    if (!(x >= 0)) x = 0;
    if (x >= kFrameWidth - 1) x = kFrameWidth - 1;
    if (!(y >= 0)) y = 0;
    if (y >= kFrameHeight - 1) y = kFrameHeight - 1;
  }
  return LightSource{x, y, window_offset_};
}

void LightMapRun::draw_rays_frame(int t, std::optional<std::uint8_t> event, std::span<Rgb565, kFramePixels> frame) {
  if (event == kFlashCommand) {
    fill_visible(other(), kFlashLevel);
    fill_visible(current(), kFlashLevel);
    flash_ = true;
    rise_ = true;
    flash_time_ = static_cast<float>(t);
  } else if (event == kShakeCommand) {
    shake_ = true;
    shake_time_ = static_cast<float>(t);
  }

  const LightSource source = place_source(t);
  const int xi = trunc_to_int(source.x);
  const int yi = trunc_to_int(source.y);
  const MaskWindow window = assets_.mask.subspan(static_cast<std::size_t>(source.window_offset)).first<kFramePixels>();
  const LightView light = visible_area(current());
  draw_rays(light, window, assets_.rays, xi, yi, assets_.ray_hits);
  if (window[static_cast<std::size_t>(yi * kFrameWidth + xi)] == 0) {
    // Towards the source mirrored through the screen centre.
    draw_lens_flare(light, assets_.flares, xi, yi, trunc_to_int(kFrameWidth - source.x), trunc_to_int(kFrameHeight - source.y));
  }
  if (flash_) {
    flash_ = false;
  } else {
    decay_light_map(current(), other());
  }
  grey_light_map(frame, visible_area(other()));
  swap_maps();
}

}  // namespace morvane
