#include "bench/archive/timed_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>

extern char** environ;

namespace morvane::bench {

CommandTimes run_command(const std::vector<std::string>& argv) {
  CommandTimes times;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return times;

  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return times;
  times.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
  times.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  if (WIFEXITED(status)) times.exit_status = WEXITSTATUS(status);
  return times;
}

std::filesystem::path scratch_dir() {
  const std::filesystem::path dir = std::filesystem::path(MORVANE_BUILD_DIR) / "bench-archive";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace morvane::bench
