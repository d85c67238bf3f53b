#include "tools/compose/module_timing.h"

namespace morvane::compose {

double row_seconds(const xm::Module& m) { return m.speed * 2.5 / m.bpm; }

std::vector<double> order_starts(const xm::Module& m) {
  std::vector<double> starts;
  double t = 0.0;
  for (auto pattern : m.orders) {
    starts.push_back(t);
    t += m.patterns.at(pattern).rows() * row_seconds(m);
  }
  starts.push_back(t);
  return starts;
}

double position_seconds(const xm::Module& m, int order, int row) {
  return order_starts(m).at(static_cast<std::size_t>(order)) + row * row_seconds(m);
}

std::vector<ZEvent> z_events(const xm::Module& m) {
  std::vector<ZEvent> events;
  for (std::size_t order = 0; order < m.orders.size(); ++order) {
    const xm::Pattern& p = m.patterns.at(m.orders[order]);
    for (int row = 0; row < p.rows(); ++row)
      for (int ch = 0; ch < p.channels(); ++ch)
        if (p.at(row, ch).effect == xm::kEffectZ)
          events.push_back({static_cast<int>(order), row, ch, p.at(row, ch).param});
  }
  return events;
}

}  // namespace morvane::compose
