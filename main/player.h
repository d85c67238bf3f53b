#pragma once
// The player as people start it: options applied around the driver's show on SDL and
// libopenmpt. Without options it is exactly the show as it always ran.
#include <filesystem>

#include "main/player_options.h"

namespace morvane {

// Runs the show; returns the exit status (1 after the show, 2 for a start point past its end).
// `installed` is the installed data directory (may be empty).
int run_player(const PlayerOptions& options, const std::filesystem::path& installed);

}  // namespace morvane
