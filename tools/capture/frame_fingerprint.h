#pragma once
// Fingerprints of presented buffers for the capture's log: XXH3 of the pixels as little-endian
// 0x00RRGGBB words, whatever the unused top byte holds, so frames compare across runs and machines.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "contracts/pixel.h"

namespace morvane::capture {

std::uint64_t frame_hash(std::span<const Pixel32> pixels);

// Hashes each buffer on a thread of its own, so the scenes draw the next frame meanwhile. The
// caller's buffer is copied (masked, in the hash's byte order) before submit returns.
class FingerprintWorker {
 public:
  FingerprintWorker();
  ~FingerprintWorker();
  FingerprintWorker(const FingerprintWorker&) = delete;
  FingerprintWorker& operator=(const FingerprintWorker&) = delete;

  // Waits until the previous buffer is hashed, then starts on this one.
  void submit(std::span<const Pixel32> pixels);
  // The fingerprint of the last submitted buffer, once it is ready.
  std::uint64_t result();

 private:
  void wait_idle(std::unique_lock<std::mutex>& lock);
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Pixel32> words_;  // only the worker touches it while busy_
  bool busy_ = false;
  bool stopping_ = false;
  std::uint64_t hash_ = 0;
  std::thread thread_;  // last: starts once the rest is set up
};

}  // namespace morvane::capture
