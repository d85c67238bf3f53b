#pragma once
// "morvane.3ds": the sculpture the camera flight circles. A spiked crystal in the middle, three
// tilted rings of blocks, twelve small moons and a few drifting shards, in flat colours taken
// from the materials' colour words. Meshes and faces are stored in the drawing order that is
// right for most of the flight, since the show draws them in file order without depth tests.
#include <cstdint>
#include <vector>

#include "tools/standin/tds_writer.h"

namespace morvane::standin {

TdsScene flight_scene();

// Ticks of the flight sampled when choosing the drawing order: the music gives the flight about
// 1100 ticks (orders 11 to 15 up to the reveal), with room for a slower tempo.
inline constexpr float kFlightTicks = 1500.0f;

}  // namespace morvane::standin
