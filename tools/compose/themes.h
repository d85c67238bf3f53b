#pragma once
// The melodies of the piece, a bar (16 rows) per string, in the phrase notation of score.h.
#include <string_view>
#include <vector>

#include "tools/compose/song_plan.h"

namespace morvane::compose {

// The bars of a theme; empty for Theme::kNone.
const std::vector<std::string_view>& theme_bars(Theme theme);

}  // namespace morvane::compose
