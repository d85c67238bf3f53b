#pragma once
// The picture flash sequence: "dans01.pcx" to "dans10.pcx", ten dancer poses that all use the
// palette stored with "dans10.pcx".
#include <vector>

#include "tools/standin/asset.h"

namespace morvane::standin {

std::vector<Picture> flash_pictures();

}  // namespace morvane::standin
