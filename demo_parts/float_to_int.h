#pragma once
// Truncation toward zero that stays defined for every input: values beyond the int range
// saturate and NaN gives 0, where a plain conversion would be undefined behaviour.
#include <limits>

namespace morvane {

constexpr int trunc_to_int(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace morvane
