#include "platform/playout_clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace morvane {
namespace {

// Longer than any device buffer; keeps the frame arithmetic far from overflow.
constexpr std::int64_t kMaxProgressNs = 10'000'000'000;

}  // namespace

std::int64_t steady_now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void PlayoutClock::publish(std::int64_t start, std::int64_t buffer_frames, std::int64_t music_frames,
                           std::int64_t now_ns) {
  const std::uint64_t sequence = sequence_.load(std::memory_order_relaxed);
  sequence_.store(sequence + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
  start_.store(start, std::memory_order_relaxed);
  buffer_frames_.store(buffer_frames, std::memory_order_relaxed);
  music_frames_.store(music_frames, std::memory_order_relaxed);
  time_ns_.store(now_ns, std::memory_order_relaxed);
  sequence_.store(sequence + 2, std::memory_order_release);
}

PlayoutClock::Snapshot PlayoutClock::read() const {
  for (;;) {
    const std::uint64_t before = sequence_.load(std::memory_order_acquire);
    if ((before & 1) == 0) {
      const Snapshot snapshot{start_.load(std::memory_order_relaxed), buffer_frames_.load(std::memory_order_relaxed),
                              music_frames_.load(std::memory_order_relaxed), time_ns_.load(std::memory_order_relaxed)};
      std::atomic_thread_fence(std::memory_order_acquire);
      if (sequence_.load(std::memory_order_relaxed) == before) return snapshot;
    }
    std::this_thread::yield();
  }
}

std::int64_t PlayoutClock::heard_frames(std::int64_t now_ns, int sample_rate) {
  const Snapshot s = read();
  const std::int64_t progress_ns = std::clamp<std::int64_t>(now_ns - s.time_ns, 0, kMaxProgressNs);
  const std::int64_t progress = std::min(progress_ns * sample_rate / 1'000'000'000, s.buffer_frames);
  const std::int64_t heard = std::max<std::int64_t>(0, std::min(s.start + progress, s.music_frames));
  std::int64_t reported = reported_.load(std::memory_order_relaxed);
  while (heard > reported && !reported_.compare_exchange_weak(reported, heard, std::memory_order_relaxed)) {
  }
  return std::max(heard, reported);
}

void PlayoutClock::reset() {
  publish(0, 0, 0, 0);
  reported_.store(0, std::memory_order_relaxed);
}

}  // namespace morvane
