#pragma once
// The shape every morvane-dat command shares: a name, a synopsis for --help, and an entry point
// that gets the words after the command name. Adding a command is one file that defines its
// entry point and one row in the dispatcher's table (main.cpp).
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace morvane::dat {

using Arguments = std::span<const std::string_view>;

// Thrown for a wrong command line; the dispatcher prints the command's synopsis.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Returns the exit status; failures throw (std::runtime_error with a message for the user).
using CommandFunction = int (*)(Arguments);

struct Command {
  std::string_view name;
  std::string_view synopsis;     // arguments, as in "FILE NAME [OUT]"
  std::string_view description;  // one line
  CommandFunction run;
};

// Entry points, one per command file.
int run_list(Arguments args);
int run_extract(Arguments args);
int run_picture(Arguments args);
int run_scene(Arguments args);

}  // namespace morvane::dat
