#pragma once
// One self-overwriting line on stderr: song position, scene, speed, estimated time left.
#include <chrono>

namespace morvane::capture {

class ProgressBar {
 public:
  // total_seconds: the song time at which the capture is expected to end (0 if unknown).
  ProgressBar(bool enabled, double total_seconds);
  void update(double song_seconds, int scene);
  void finish();

 private:
  bool enabled_;
  double total_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_draw_{};
};

}  // namespace morvane::capture
