#pragma once
// One run of the opening scene: the state its frame loop keeps and the drawing of one frame
// from the song position and the event taken in that frame.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "contracts/pixel.h"
#include "demo_parts/opening/opening_kernels.h"

namespace morvane {

// How the opening scene's brightness and cloud follow the song: the level added to every
// lookup, the gate that lets the cloud be stamped, and how many points it has, by order.
inline constexpr int kFirstCloudPoints = 1012;
inline constexpr int kSecondPictureOrder = 8;

// The local time at which each order number began (0 for one not seen yet); an order counts
// as begun whenever it differs from the previous frame's.
class OrderStarts {
 public:
  void see(int order, float t) {
    if (order == last_order_) return;
    last_order_ = order;
    if (order >= 0 && order < static_cast<int>(start_.size())) start_[order] = t;
  }
  float operator[](int order) const {
    return order >= 0 && order < static_cast<int>(start_.size()) ? start_[order] : 0.0f;
  }

 private:
  int last_order_ = -1;
  std::array<float, 256> start_{};
};

struct OpeningSchedule {
  int level = 0;
  int cloud_gate = 0;
  int point_count = kFirstCloudPoints;
};

// One frame's update; order 3 (and any order below 0) keeps the previous values.
void advance_schedule(OpeningSchedule& schedule, int order, float t, float event_time, const OrderStarts& starts);

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
