#pragma once
// The rays' fade: a four-neighbour blur that also loses a level, written back into the current
// light map, with one level less again into the other one, which is the one shown.
#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

inline constexpr int kDecayFirst = kFrameWidth + 1;  // row 1, column 1
inline constexpr int kDecayGroups = 15839;          // of four bytes: up to row 198, column 316
inline constexpr int kDecayEnd = kDecayFirst + 4 * kDecayGroups;

// Clears rows 0, 1 and 199 of current (and the margin row below, already 0), then walks indices
// 321..63676 in groups of four bytes in increasing order. Each group's sums of left, right,
// below and above are formed in one 32-bit addition of four little-endian words (a lane sum
// above 255 carries into the next lane), from the values before the group is written; each
// byte becomes max(sum - 1, 0) / 4 in current and one level less (at least 0) in other. Other
// is left as it was outside 321..63676.
void decay_light_map(LightMapBuffer current, LightMapBuffer other);

}  // namespace morvane
