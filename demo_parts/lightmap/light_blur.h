#pragma once
// The feedback blur: every visible light-map pixel becomes the average of its four neighbours,
// in place and in increasing index order, so that the left and upper neighbours are already
// blurred. Reads past the visible area see the zero margins; the left neighbour of a row's
// first pixel is the last pixel of the row above.
#include "demo_parts/lightmap_primitives/light_map.h"

namespace morvane {

void blur_light_map(LightMapBuffer map);

}  // namespace morvane
