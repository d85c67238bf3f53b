#pragma once
// Where things happen in time in a module whose speed and BPM stay at their initial values
// (the composer writes no speed or tempo effects): one row lasts speed x 2.5 / BPM seconds.
#include <cstdint>
#include <vector>

#include "tools/compose/xm_module.h"

namespace morvane::compose {

double row_seconds(const xm::Module& m);
// Start of every order, and the end of the last one as a final entry.
std::vector<double> order_starts(const xm::Module& m);
double position_seconds(const xm::Module& m, int order, int row);

// The Z effects of the module in playing order.
struct ZEvent {
  int order;
  int row;
  int channel;
  std::uint8_t value;
};
std::vector<ZEvent> z_events(const xm::Module& m);

}  // namespace morvane::compose
