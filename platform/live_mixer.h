#pragma once
// The audio thread's work for each device buffer: render the playing module into it, say
// which buffer starts playing now, and deliver what that buffer makes heard. Driven by the SDL
// audio callback, or by a wall-clock thread when there is no device.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

#include "platform/sound_module.h"

namespace morvane {

class LiveMixer {
 public:
  // Program's thread: `module` (with a fresh renderer) plays from the next buffer on, in place
  // of any other.
  void play(SoundModule& module);
  // Program's thread: stops `module` if it plays; after the return no buffer touches it.
  void stop(const SoundModule& module);
  bool playing(const SoundModule& module);
  // Program's thread: nothing plays any more.
  void stop_all();
  // Any thread: while paused the module renders nothing and the device gets silence; the
  // buffer already queued still plays out, then the clock stands at its end until resumed.
  void set_paused(bool paused) { paused_.store(paused, std::memory_order_relaxed); }
  bool paused() const { return paused_.load(std::memory_order_relaxed); }

  // Audio thread: fills `out` (interleaved 16-bit stereo), which starts playing when the next
  // call comes; the buffer filled by the previous call starts playing at `now_ns`. Events of
  // the playing buffer are delivered at the call nearest to when they are heard.
  void mix(std::span<std::int16_t> out, std::int64_t now_ns);

 private:
  // Held only to swap the playing module and while one buffer is mixed.
  std::mutex mutex_;
  SoundModule* playing_ = nullptr;
  std::atomic<bool> paused_{false};
};

}  // namespace morvane
