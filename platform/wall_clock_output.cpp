#include "platform/wall_clock_output.h"

#include <chrono>

#include "platform/playout_clock.h"

namespace morvane {
namespace {

// A thread held up for longer than this many buffers starts a new schedule instead of
// catching up in a burst.
constexpr int kMaxBuffersBehind = 8;

}  // namespace

WallClockOutput::WallClockOutput(LiveMixer& mixer, int sample_rate, int buffer_frames)
    : mixer_(mixer), sample_rate_(sample_rate), buffer_(static_cast<std::size_t>(buffer_frames) * 2) {
  thread_ = std::thread([this] { run(); });
}

WallClockOutput::~WallClockOutput() {
  stop_.store(true, std::memory_order_relaxed);
  thread_.join();
}

void WallClockOutput::run() {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::nanoseconds(static_cast<std::int64_t>(buffer_.size() / 2) * 1'000'000'000 / sample_rate_);
  auto deadline = Clock::now();
  while (!stop_.load(std::memory_order_relaxed)) {
    mixer_.mix(buffer_, steady_now_ns());
    deadline += period;
    const auto now = Clock::now();
    if (now - deadline > period * kMaxBuffersBehind) deadline = now;
    std::this_thread::sleep_until(deadline);
  }
}

}  // namespace morvane
