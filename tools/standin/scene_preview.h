#pragma once
// A rough look at the flight for reviewers: the scene drawn as the show draws it (flat faces in
// file order, each frame averaged into the one before), with stand-in random colours.
#include "tools/standin/canvas.h"
#include "tools/standin/tds_writer.h"

namespace morvane::standin {

// The 320 x 200 frame at t ticks into the flight, with the trails of the frames before it.
RgbImage render_flight_frame(const TdsScene& scene, float t);

}  // namespace morvane::standin
