#pragma once
// The light-map scene's assets: the stained-glass picture the light reveals, the frame's light
// texture, the lens-flare sheet and the logo mask the light source wanders behind.
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

// "gl_pic.pcx", "gl_tex.pcx", "flares.pcx", "liglog.pcx".
std::vector<Picture> light_map_assets();

}  // namespace morvane::standin
