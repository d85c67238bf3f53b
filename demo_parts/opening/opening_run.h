#pragma once
// One run of the opening scene: the state its frame loop keeps and the drawing of one frame
// from the song position and the event taken in that frame.
#include <cstdint>
#include <optional>
#include <span>

#include "demo_parts/opening/cloud.h"
#include "demo_parts/opening/glow.h"
#include "demo_parts/opening/opening_schedule.h"
#include "contracts/pixel.h"

namespace morvane {

inline constexpr int kOpeningShadeEntries = 256 * 256;
inline constexpr int kOpeningLastOrder = 11;

using PictureView = std::span<const std::uint8_t, kFramePixels>;
using OpeningShadeView = std::span<const Rgb565, kOpeningShadeEntries>;

// The loaded part's buffers as one frame sees them; the glow is the only one drawn into.
struct OpeningAssets {
  SpriteView sprite;
  PictureView mask;
  PictureView image1;
  PictureView image2;
  OpeningShadeView shade1;
  OpeningShadeView shade2;
  GlowView glow;
  std::span<const CloudPoint, kCloudPoints> points;
};

class OpeningRun {
 public:
  explicit OpeningRun(const OpeningAssets& assets) : assets_(assets) {}

  // order and t as read this frame (t local to the run), event as taken this frame.
  void draw_frame(int order, float t, std::optional<std::uint8_t> event, std::span<Rgb565, kFramePixels> frame);

  const OpeningSchedule& schedule() const { return schedule_; }
  int flash_time() const { return flash_time_; }
  float event_time() const { return event_time_; }

 private:
  void on_event(std::uint8_t value, float t);
  void compose(int order, float t, std::span<Rgb565, kFramePixels> frame) const;

  OpeningAssets assets_;
  OrderStarts starts_;
  OpeningSchedule schedule_;
  float event_time_ = 0.0f;
  int flash_time_ = -128;
  int bar_x_ = 0;
  int bar_width_ = 0;  // 0 until the first bar: an early repeat command draws nothing
};

}  // namespace morvane
