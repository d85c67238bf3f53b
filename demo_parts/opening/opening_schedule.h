#pragma once
// How the opening scene's brightness and cloud follow the song: the level added to every
// lookup, the gate that lets the cloud be stamped, and how many points it has, by order.
#include <array>

namespace morvane {

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

}  // namespace morvane
