#pragma once
// Runs another program the way a user would and measures it: wall time and the CPU time the
// child used (user plus system), which stays meaningful on a machine that others share.
#include <filesystem>
#include <string>
#include <vector>

namespace morvane::bench {

struct CommandTimes {
  double wall_seconds = 0;
  double cpu_seconds = 0;
  int exit_status = -1;  // -1 when the program could not be started or did not exit normally
};

// argv[0] is the program (searched on PATH when it has no '/'); output goes to /dev/null.
CommandTimes run_command(const std::vector<std::string>& argv);

// Where the benchmarks keep files they generate once (under the build directory).
std::filesystem::path scratch_dir();

}  // namespace morvane::bench
