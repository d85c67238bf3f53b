#pragma once
// How far the listener has heard a playing module: the audio thread says which buffer starts
// playing and when; any thread asks for the frames played out at a given moment.
//
// Estimate: the first frame of the buffer playing now plus the wall-clock progress inside it,
// never past the buffer's end, never past the music rendered, never less than an earlier
// answer. The four published values travel together through a sequence lock of atomics.
#include <atomic>
#include <cstdint>

namespace morvane {

class PlayoutClock {
 public:
  // Audio thread: the buffer of `buffer_frames` frames starting at frame `start` begins
  // playing at `now_ns` (steady clock); `music_frames` of the song were rendered so far.
  void publish(std::int64_t start, std::int64_t buffer_frames, std::int64_t music_frames, std::int64_t now_ns);
  // Frames heard at `now_ns`; never decreasing between calls (until reset).
  std::int64_t heard_frames(std::int64_t now_ns, int sample_rate);
  // Back to frame 0, for a new start of the song. Not concurrent with publish() or with
  // heard_frames().
  void reset();

 private:
  struct Snapshot {
    std::int64_t start, buffer_frames, music_frames, time_ns;
  };
  Snapshot read() const;

  std::atomic<std::uint64_t> sequence_{0};
  std::atomic<std::int64_t> start_{0};
  std::atomic<std::int64_t> buffer_frames_{0};
  std::atomic<std::int64_t> music_frames_{0};
  std::atomic<std::int64_t> time_ns_{0};
  std::atomic<std::int64_t> reported_{0};
};

// Steady-clock nanoseconds, the time base of PlayoutClock.
std::int64_t steady_now_ns();

}  // namespace morvane
