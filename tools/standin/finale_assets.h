#pragma once
// The finale's light pictures and its overlay: "light.pcx" (320 x 200), "light256.pcx"
// (256 x 256, wraps), both light levels 0..63, and "spice.pcx" (180 x 480, colour 0 transparent).
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

std::vector<Picture> finale_assets();

}  // namespace morvane::standin
