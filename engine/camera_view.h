#pragma once
// From a camera's lens, position, target and roll to the projection scales and the view
// matrix the renderer places meshes with.
#include "engine/records.h"

namespace morvane {

// Degrees of horizontal field of view: one of nine standard lenses by table, otherwise
// 2400 / lens.
float lens_to_field_of_view(float lens);

// Rebuilds the camera's projection scales and view matrix from scratch for the 320 x 200
// viewport. A camera whose target equals its position looks along +z.
void update_camera(Camera& camera);

}  // namespace morvane
