#include "tools/standin/painter_order.h"

#include <algorithm>
#include <numeric>

namespace morvane::standin {

std::vector<int> PainterVotes::order() const {
  std::vector<int> order(static_cast<std::size_t>(n_));
  std::iota(order.begin(), order.end(), 0);
  // Start from the net score: how much more often a thing wants to go first than last.
  std::vector<double> score(static_cast<std::size_t>(n_), 0.0);
  for (int i = 0; i < n_; ++i)
    for (int j = 0; j < n_; ++j) score[i] += weight(i, j) - weight(j, i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return score[a] > score[b]; });

  // Then move single things to the place that gains most, until nothing gains.
  for (int pass = 0; pass < 50; ++pass) {
    bool improved = false;
    for (int p = 0; p < n_; ++p) {
      const int x = order[p];
      double best_gain = 1e-9;
      int best_q = p;
      double gain = 0.0;
      for (int q = p + 1; q < n_; ++q) {  // x after order[q]
        gain += weight(order[q], x) - weight(x, order[q]);
        if (gain > best_gain) {
          best_gain = gain;
          best_q = q;
        }
      }
      gain = 0.0;
      for (int q = p - 1; q >= 0; --q) {  // x before order[q]
        gain += weight(x, order[q]) - weight(order[q], x);
        if (gain > best_gain) {
          best_gain = gain;
          best_q = q;
        }
      }
      if (best_q != p) {
        order.erase(order.begin() + p);
        order.insert(order.begin() + best_q, x);
        improved = true;
      }
    }
    if (!improved) break;
  }
  return order;
}

double PainterVotes::agreement(const std::vector<int>& order) const {
  double sum = 0.0;
  for (std::size_t a = 0; a < order.size(); ++a)
    for (std::size_t b = a + 1; b < order.size(); ++b) sum += weight(order[a], order[b]);
  return sum;
}

}  // namespace morvane::standin
