#pragma once
// The seven scenes of the show by playing position.
#include <memory>

#include "core/demo_part.h"

namespace morvane {

// The scene at playing position 1..7.
std::unique_ptr<DemoPart> make_demo_part(int playing_position);

}  // namespace morvane
