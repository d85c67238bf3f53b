#include "tools/capture/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace morvane::capture {

ProgressBar::ProgressBar(bool enabled, double total_seconds)
    : enabled_(enabled), total_(total_seconds), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::update(double song_seconds, int scene) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_draw_ < std::chrono::milliseconds(200)) return;
  last_draw_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double speed = elapsed > 0 ? song_seconds / elapsed : 0.0;
  const double fraction = total_ > 0 ? std::clamp(song_seconds / total_, 0.0, 1.0) : 0.0;
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(fraction * kWidth);
  const std::string bar = std::string(static_cast<std::size_t>(filled), '#') + std::string(static_cast<std::size_t>(kWidth - filled), '.');
  const double left = speed > 0 && total_ > 0 ? std::max(0.0, (total_ - song_seconds) / speed) : 0.0;
  std::fprintf(stderr, "\r[%s] %6.1f s  scene %d  %5.1fx real time  ETA %4.0f s ", bar.c_str(), song_seconds, scene,
               speed, left);
  std::fflush(stderr);
}

void ProgressBar::finish() {
  if (!enabled_) return;
  std::fprintf(stderr, "\n");
}

}  // namespace morvane::capture
