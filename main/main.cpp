// The player: the show on SDL and libopenmpt. Without options it asks the full-screen question
// and reads its data from the working directory (see --help for the rest).
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "main/data_search.h"
#include "main/player.h"
#include "main/player_options.h"

#ifndef MORVANE_VERSION
#define MORVANE_VERSION "0"
#endif
#ifndef MORVANE_RELATIVE_DATA_DIR
#define MORVANE_RELATIVE_DATA_DIR "../share/morvane"
#endif

int main(int argc, char** argv) {
  morvane::PlayerOptions options;
  try {
    options = morvane::parse_player_options(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvane: %s\n", error.what());
    return 2;
  }
  if (options.help) {
    std::fputs(morvane::kPlayerUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("morvane %s\n", MORVANE_VERSION);
    return 0;
  }
  try {
    return morvane::run_player(options, morvane::installed_data_dir(MORVANE_RELATIVE_DATA_DIR));
  } catch (const std::invalid_argument& error) {
    std::fprintf(stderr, "morvane: %s\n", error.what());
    return 2;
  }
}
