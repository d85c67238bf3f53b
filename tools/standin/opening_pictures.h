#pragma once
// The first scene's assets: the glow sprite, the reveal mask, the dawn landscape and the
// ringed planet that the point cloud lights up.
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

// "sprott.pcx", "begin_bw.pcx", "begin.pcx", "begin2.pcx".
std::vector<Picture> opening_pictures();

}  // namespace morvane::standin
