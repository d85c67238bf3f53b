#pragma once
// The title revealed after the camera flight: "morvane.pcx".
#include "tools/standin/asset.h"

namespace morvane::standin {

Picture title_picture();

}  // namespace morvane::standin
