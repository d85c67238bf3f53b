#pragma once
// The light-map scene's pictures as the stand-in data generates them, handed out by name, with
// a soft dot for "sprott.pcx".
#include "demo_parts/picture_source.h"

namespace morvane::bench {

const PictureSource& standin_light_pictures();

}  // namespace morvane::bench
