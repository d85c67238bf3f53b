#pragma once
// Writes PNG frames on a thread of its own, so that encoding overlaps the drawing of the next
// frames. The files are the same as if written in line; a failure is reported by the next call.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace morvane::capture {

class FrameFileWriter {
 public:
  FrameFileWriter();
  ~FrameFileWriter();
  FrameFileWriter(const FrameFileWriter&) = delete;
  FrameFileWriter& operator=(const FrameFileWriter&) = delete;

  // Queues an RGB frame; waits while too many are queued. Throws an earlier write's failure.
  void write(std::filesystem::path file, int width, int height, std::vector<std::uint8_t> rgb);
  // Waits until every queued frame is written; throws the first failure.
  void finish();

 private:
  struct Job {
    std::filesystem::path file;
    int width;
    int height;
    std::vector<std::uint8_t> rgb;
  };
  void work();
  void rethrow_failure();

  static constexpr std::size_t kMaxQueued = 8;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread worker_;
};

}  // namespace morvane::capture
