#pragma once
// The tunnel's scrolling shade picture, "shades.pcx": 320 x 1000 shade values 0..55 (24 shows
// the texture's own colour, 0 a quarter of it, 55 nearly white).
#include "tools/standin/asset.h"

namespace morvane::standin {

Picture tunnel_shading();

}  // namespace morvane::standin
