#pragma once
// Where the light source's rays point: 1024 targets scattered +-320 pixels around an ellipse of
// radii 320 and 200 about the screen centre, one ray per 360/1024 degrees.
#include <span>

#include "demo_parts/lightmap_primitives/rays.h"

namespace morvane {

// Draws two numbers per ray from the program's generator, x then y; the other fields are left
// for the drawing to set.
void aim_rays(std::span<Ray, kRayCount> rays);

}  // namespace morvane
