// morvane-dat: looks into a data file through the player's own archive code.
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "tools/morvane_dat/command.h"

namespace morvane::dat {
namespace {

constexpr Command kCommands[] = {
    {"list", "FILE", "every entry: packed and unpacked size, version, method, solid flag, name", run_list},
    {"extract", "FILE NAME [OUT]", "the entry's bytes, to OUT or to standard output", run_extract},
    {"picture", "FILE NAME WIDTH HEIGHT OUT.png [--no-palette]",
     "decode a PCX entry to WIDTH x HEIGHT indices; write them with the palette, or as grey", run_picture},
    {"scene", "(FILE NAME | FILE.3ds) [--roomy] [--render OUT.png [--eye X,Y,Z --target X,Y,Z] [--roll R] [--fov F]]",
     "load a 3DS scene as the camera-flight scene does, print its records; render one frame to PNG", run_scene},
};

void print_help(std::FILE* to) {
  std::fprintf(to, "usage: morvane-dat COMMAND ARGUMENTS...\n\nCommands:\n");
  for (const Command& c : kCommands)
    std::fprintf(to, "  %.*s %.*s\n      %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 static_cast<int>(c.synopsis.size()), c.synopsis.data(), static_cast<int>(c.description.size()),
                 c.description.data());
  std::fprintf(to, "\nEntry names match regardless of letter case and of '/', '\\' or '_'.\n");
}

int dispatch(int argc, char** argv) {
  const std::vector<std::string_view> words(argv + 1, argv + argc);
  if (words.empty()) {
    print_help(stderr);
    return 2;
  }
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    print_help(stdout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (c.name != words[0]) continue;
    try {
      return c.run(Arguments(words).subspan(1));
    } catch (const UsageError& e) {
      std::fprintf(stderr, "morvane-dat %.*s: %s\nusage: morvane-dat %.*s %.*s\n", static_cast<int>(c.name.size()),
                   c.name.data(), e.what(), static_cast<int>(c.name.size()), c.name.data(),
                   static_cast<int>(c.synopsis.size()), c.synopsis.data());
      return 2;
    }
  }
  std::fprintf(stderr, "morvane-dat: unknown command '%.*s' (try --help)\n", static_cast<int>(words[0].size()),
               words[0].data());
  return 2;
}

}  // namespace
}  // namespace morvane::dat

int main(int argc, char** argv) {
  try {
    return morvane::dat::dispatch(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-dat: %s\n", e.what());
    return 1;
  }
}
