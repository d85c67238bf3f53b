#include "tools/capture/frame_file_writer.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "tools/png/png_frame_encoder.h"

namespace morvane::capture {

FrameFileWriter::FrameFileWriter(unsigned workers) {
  const unsigned count = workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency());
  // One frame in each worker and as many queued: enough to keep every worker fed without the
  // queue running ahead by more than a few megabytes.
  max_in_flight_ = 2 * std::size_t{count};
  free_.reserve(max_in_flight_ + 1);
  try {
    for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
  } catch (...) {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    throw;
  }
}

FrameFileWriter::~FrameFileWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void FrameFileWriter::rethrow_failure() {
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

std::vector<Pixel32> FrameFileWriter::take_buffer() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.size() + busy_ < max_in_flight_ || failure_; });
  rethrow_failure();
  if (free_.empty()) return {};
  std::vector<Pixel32> buffer = std::move(free_.back());
  free_.pop_back();
  return buffer;
}

void FrameFileWriter::write(std::filesystem::path file, int width, int height, std::vector<Pixel32> pixels) {
  {
    std::lock_guard lock(mutex_);
    rethrow_failure();
    jobs_.push_back(Job{std::move(file), width, height, std::move(pixels)});
  }
  changed_.notify_all();
}

void FrameFileWriter::finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (jobs_.empty() && busy_ == 0) || failure_; });
  rethrow_failure();
}

void FrameFileWriter::recycle(std::vector<Pixel32> pixels) {
  // Within the reserved capacity, so that no worker allocates while holding the lock.
  if (free_.size() < free_.capacity()) free_.push_back(std::move(pixels));
}

void FrameFileWriter::work() {
  // Each worker keeps its own compressor and scratch buffers for the whole capture.
  std::optional<PngFrameEncoder> encoder;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
    if (jobs_.empty()) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    ++busy_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      if (!encoder) encoder.emplace();
      encoder->write(job.file, job.width, job.height, job.pixels);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    --busy_;
    recycle(std::move(job.pixels));
    if (failure && !failure_) {
      failure_ = failure;
      for (Job& dropped : jobs_) recycle(std::move(dropped.pixels));
      jobs_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace morvane::capture
