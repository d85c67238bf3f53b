#include "demo_parts/opening/opening_schedule.h"

#include <algorithm>
#include <cmath>

#include "demo_parts/float_to_int.h"

namespace morvane {
namespace {

constexpr float kDegree = 0.0174532924f;

}  // namespace

void advance_schedule(OpeningSchedule& schedule, int order, float t, float event_time, const OrderStarts& starts) {
  const float d0 = t - starts[0];
  const float s = 3 * std::sin(3 * d0 * kDegree);
  int& level = schedule.level;
  int& gate = schedule.cloud_gate;
  if (order >= 0 && order <= 2) {
    level = std::clamp(trunc_to_int(s + d0 * 0.2612244897959184 - 3), 0, 128);
    gate = level * level / 128;
  } else if (order == 4 || order == 5) {
    const float d4 = t - starts[4];
    level = std::clamp(trunc_to_int(s + d4 * d4 * 0.0003885714285714286 + 125), 0, 196);
    gate = std::max(2 * (192 - level), 0);
  } else if (order == 6) {
    level = std::min(trunc_to_int(s + 192), 196);
    gate = 0;
  } else if (order == 7) {
    level = std::clamp(trunc_to_int(s + 193 - 0.4 * (t - starts[7])), 0, 196);
    gate = 0;
  } else if (order >= kSecondPictureOrder) {
    schedule.point_count = 2 * kFirstCloudPoints;
    const float since_event = t - event_time;
    const int intensity = std::max(trunc_to_int(126 - 0.05 * (since_event * since_event)), 0);
    // The floor only keeps the gate's arithmetic defined for a clock that runs backwards; any
    // level that low already looks up level 0.
    level = std::clamp(trunc_to_int((t - starts[8]) * 2.742857142857143 + intensity), -65536, intensity + 128);
    gate = std::max(level - 64 * intensity + 128, 0);
  }
}

}  // namespace morvane
