#pragma once
// The single event slot between the audio thread (writer) and the frame loop (reader).
#include <atomic>
#include <cstdint>
#include <optional>

namespace morvane {

class SongEvent {
 public:
  // Audio thread: value first, then the flag; a later event replaces an untaken one.
  void raise(std::uint8_t value) noexcept {
    value_.store(value, std::memory_order_relaxed);
    flag_.store(true, std::memory_order_release);
  }
  // Frame loop: the pending value, if any; takes the value, then clears the flag.
  std::optional<std::uint8_t> take() noexcept {
    if (!flag_.load(std::memory_order_acquire)) return std::nullopt;
    const std::uint8_t value = value_.load(std::memory_order_relaxed);
    flag_.store(false, std::memory_order_relaxed);
    return value;
  }
  bool pending() const noexcept { return flag_.load(std::memory_order_acquire); }
  void reset() noexcept {
    flag_.store(false);
    value_.store(0);
  }

 private:
  std::atomic<std::uint8_t> value_{0};
  std::atomic<bool> flag_{false};
};

// The process-wide slot that the Zxx callback writes.
SongEvent& song_event();

}  // namespace morvane
