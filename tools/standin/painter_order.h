#pragma once
// Picks one fixed drawing order for things drawn without a depth buffer: from votes saying how
// strongly each one should be drawn before each other one, an order that agrees with as much of
// the vote weight as a ranking plus local improvement can find.
#include <vector>

namespace morvane::standin {

class PainterVotes {
 public:
  explicit PainterVotes(int count) : n_(count), before_(static_cast<std::size_t>(count) * count, 0.0) {}

  int count() const { return n_; }
  void vote(int first, int second, double weight) { before_[index(first, second)] += weight; }
  double weight(int first, int second) const { return before_[index(first, second)]; }

  // A permutation of 0..count-1: the drawing order.
  std::vector<int> order() const;
  // Vote weight the order agrees with.
  double agreement(const std::vector<int>& order) const;

 private:
  std::size_t index(int a, int b) const { return static_cast<std::size_t>(a) * n_ + b; }
  int n_;
  std::vector<double> before_;
};

}  // namespace morvane::standin
