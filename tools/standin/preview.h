#pragma once
// How a picture looks to a person: through its palette, or in grey for value pictures.
#include "tools/standin/asset.h"
#include "tools/standin/canvas.h"

namespace morvane::standin {

RgbImage preview_of(const Picture& picture);

}  // namespace morvane::standin
