#pragma once
// The stand-in for an audio device when none can be opened: a thread that asks the mixer for
// one buffer per buffer duration of wall-clock time and throws the audio away. Play time, order
// changes and Zxx events then run in real time, silently.
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/live_mixer.h"

namespace morvane {

class WallClockOutput {
 public:
  // Starts the thread at once.
  WallClockOutput(LiveMixer& mixer, int sample_rate, int buffer_frames);
  // Stops and joins the thread.
  ~WallClockOutput();
  WallClockOutput(const WallClockOutput&) = delete;
  WallClockOutput& operator=(const WallClockOutput&) = delete;

 private:
  void run();

  LiveMixer& mixer_;
  int sample_rate_;
  std::vector<std::int16_t> buffer_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace morvane
