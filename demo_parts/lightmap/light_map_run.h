#pragma once
// One run of the light-map scene. Until order 20 the stained-glass picture is lit by a light map
// of glowing curves, with an optional textured frame and an optional feedback that blurs and
// warps the light into spiralling trails. Until order 25 a grey light map shows rays from a
// light source wandering behind a mask, with a lens flare while the source is not covered.
#include <cstdint>
#include <optional>
#include <span>

#include "demo_parts/lightmap/light_map_kernels.h"
#include "demo_parts/lightmap/light_primitives.h"
#include "demo_parts/lightmap/light_rays.h"

namespace morvane {

inline constexpr int kLightMapFirstLastOrder = 20;
inline constexpr int kLightMapLastOrder = 25;
inline constexpr int kCurvesAloneOrder = 19;
// The mask picture is 320 x 400; ten rows of 255 follow it. While the window shakes it can look
// up to 20 rows further, and those rows read as 255 as well.
inline constexpr int kMaskPictureBytes = kFrameWidth * 400;
inline constexpr int kMaskBytes = kMaskPictureBytes + 10 * kFrameWidth;
inline constexpr int kMaskShakeBytes = 6400;
inline constexpr int kMaskBufferBytes = kMaskBytes + kMaskShakeBytes;
inline constexpr int kMaskRestOffset = 210 * kFrameWidth;
inline constexpr std::uint8_t kMaskCovered = 255;

using MaskView = std::span<const std::uint8_t, kMaskBufferBytes>;

// The loaded part's buffers as one run sees them; the light maps, rays and curve points are
// written.
struct LightMapAssets {
  LightShadeView shade;
  DotView dot;
  PictureView picture;
  FrameTextureView texture;
  CurveWeights weights;
  MaskView mask;
  FlareSheetView flares;
  ConstWarpTable warp1;
  ConstWarpTable warp2;
  LightMapBuffer map_a;
  LightMapBuffer map_b;
  std::span<Ray, kRayCount> rays;
  RayHits ray_hits;  // all zero between frames
  CurvePointView points;
};

// Where the light source is in one rays frame and which mask rows cover it.
struct LightSource {
  float x;
  float y;
  int window_offset;
};

class LightMapRun {
 public:
  explicit LightMapRun(const LightMapAssets& assets) : assets_(assets) {}

  // Before the first frame: both light maps at level 127, the frame white, feedback on.
  void begin(std::span<Rgb565, kFramePixels> frame);
  // A feedback-phase frame at local time t (fractional ticks) with the command taken this frame.
  void draw_feedback_frame(int order, float t, std::optional<std::uint8_t> event, std::span<Rgb565, kFramePixels> frame);
  // Between the phases: the current light map dark, the rays' switches off, the mask at rest.
  void begin_rays();
  // A rays-phase frame at local time t (whole ticks) with the command taken this frame.
  void draw_rays_frame(int t, std::optional<std::uint8_t> event, std::span<Rgb565, kFramePixels> frame);

  // The source for local time t with the current switches; also moves the mask window.
  LightSource place_source(int t);

  bool feedback() const { return feedback_; }
  bool frame_shown() const { return frame_shown_; }
  bool wide_warp() const { return wide_warp_; }
  bool flash() const { return flash_; }
  bool rise() const { return rise_; }
  bool shake() const { return shake_; }
  int window_offset() const { return window_offset_; }
  LightMapBuffer current() const { return a_current_ ? assets_.map_a : assets_.map_b; }
  LightMapBuffer other() const { return a_current_ ? assets_.map_b : assets_.map_a; }

 private:
  void swap_maps() { a_current_ = !a_current_; }

  LightMapAssets assets_;
  bool a_current_ = true;
  bool feedback_ = true;
  bool frame_shown_ = false;
  bool wide_warp_ = false;
  bool flash_ = false;
  bool rise_ = false;
  bool shake_ = false;
  float flash_time_ = -1.0f;
  float shake_time_ = -1.0f;
  int window_offset_ = kMaskRestOffset;
};

}  // namespace morvane
