#pragma once
// The player's command line: morvane [--fullscreen | --window] [--data DIR]
// [--start SECONDS | --scene N] [--help] [--version].
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

struct PlayerOptions {
  std::optional<bool> fullscreen;  // the start-up question answered in advance
  std::optional<std::filesystem::path> data_dir;
  std::optional<double> start_seconds;  // song time at which the live show begins
  std::optional<int> start_scene;       // or the scene (1..7) at whose start it begins
  bool help = false;
  bool version = false;

  // Audio frame of the song at which the live show begins (when a time was given).
  std::int64_t start_frame(int sample_rate) const;
};

// Parses argv without the program name. Throws std::invalid_argument with a message for the
// user on an unknown option, a missing or bad value, or options that exclude each other.
PlayerOptions parse_player_options(const std::vector<std::string>& args);

extern const char* const kPlayerUsage;

}  // namespace morvane
