#pragma once
// The song clock as a scene's frame loop reads it: start time on entry, then per frame the
// order, the local time, and the local time at which the current order began.
#include <array>

#include "core/music.h"

namespace morvane {

class PartClock {
 public:
  // Reads the ticks once: the part's start time.
  explicit PartClock(Music& music) : music_(music), t0_(music.ticks()) {}

  // Reads order, then ticks. When the order differs from the previous frame's, its start
  // time becomes the current local time.
  void next_frame() {
    order_ = music_.order();
    t_ = music_.ticks() - t0_;
    if (order_ != last_order_) {
      last_order_ = order_;
      if (order_ >= 0 && order_ < static_cast<int>(order_start_.size())) order_start_[order_] = t_;
    }
  }

  int order() const { return order_; }
  float t() const { return t_; }
  float t0() const { return t0_; }
  // Local time at which the order last began; 0 for an order not seen yet.
  float order_start(int order) const {
    if (order < 0 || order >= static_cast<int>(order_start_.size())) return 0.0f;
    return order_start_[order];
  }

 private:
  Music& music_;
  float t0_;
  int order_ = 0;
  float t_ = 0.0f;
  int last_order_ = -1;
  std::array<float, 256> order_start_{};
};

}  // namespace morvane
