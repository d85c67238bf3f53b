#pragma once
// The tunnel and finale textures "wogtex1.pcx" to "wogtex3.pcx": 256 x 256 palette pictures
// that wrap in both directions (lookups run on across the edges), with palettes in the middle
// brightness range that the shade tables darken and brighten.
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

std::vector<Picture> wrap_textures();

}  // namespace morvane::standin
