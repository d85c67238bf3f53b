#pragma once
// The colour-grid scene's background, "fogback.pcx": shown darkened under the grid's waves.
#include "tools/standin/asset.h"

namespace morvane::standin {

Picture fog_backdrop();

}  // namespace morvane::standin
