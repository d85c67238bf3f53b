#pragma once
// Whole-map operations of the procedural pictures: blur, and the step from floating-point
// values to the bytes of a value picture (masks, light maps, shade pictures).
#include "tools/standin/canvas.h"
#include "tools/standin/indexed_image.h"

namespace morvane::standin {

// Three passes of a box blur of the given radius in each direction (close to a Gaussian).
// With `wrap` the map is treated as a tile; otherwise edges repeat their border values.
ValueMap blur(const ValueMap& map, int radius, bool wrap = false);

// Rounds every value (clamped to 0..max_value) into a picture with a grey palette for viewers.
IndexedImage to_value_picture(const ValueMap& map, int max_value);

}  // namespace morvane::standin
