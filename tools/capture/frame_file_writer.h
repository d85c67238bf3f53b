#pragma once
// Writes PNG frames on a pool of worker threads, one per core, so that encoding overlaps the
// drawing of the next frames and every core compresses. Frames travel in pooled pixel buffers:
// the capture fills a buffer it took from here and hands it back, so a frame is copied once
// (out of the display buffer) and nothing is allocated per frame. Workers take frames in the
// order they came; the files are the same whatever the number of workers. A failure is
// reported by the next call.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "contracts/pixel.h"

namespace morvane::capture {

class FrameFileWriter {
 public:
  // workers: 0 takes one per core.
  explicit FrameFileWriter(unsigned workers = 0);
  ~FrameFileWriter();
  FrameFileWriter(const FrameFileWriter&) = delete;
  FrameFileWriter& operator=(const FrameFileWriter&) = delete;

  // A buffer for the next frame, of any size (resize it); waits while enough frames are queued
  // or being written. Throws an earlier write's failure.
  std::vector<Pixel32> take_buffer();
  // Queues a frame, best in a buffer from take_buffer(): width x height pixels 0x00RRGGBB.
  void write(std::filesystem::path file, int width, int height, std::vector<Pixel32> pixels);
  // Waits until every queued frame is written; throws the first failure.
  void finish();

  unsigned workers() const { return static_cast<unsigned>(workers_.size()); }

 private:
  struct Job {
    std::filesystem::path file;
    int width;
    int height;
    std::vector<Pixel32> pixels;
  };
  void work();
  void recycle(std::vector<Pixel32> pixels);
  void rethrow_failure();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  std::vector<std::vector<Pixel32>> free_;
  std::size_t max_in_flight_ = 0;
  unsigned busy_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> workers_;
};

}  // namespace morvane::capture
