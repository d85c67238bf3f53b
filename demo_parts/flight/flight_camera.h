#pragma once
// The flight's camera path: position, target and roll as functions of the local time, on
// unrelated periods so that the view never quite repeats.
#include "engine/records.h"

namespace morvane {

// Writes field of view (a 45 mm lens), roll, target and position for local time t in ticks.
void place_flight_camera(Camera& camera, float t);

}  // namespace morvane
