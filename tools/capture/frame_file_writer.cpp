#include "tools/capture/frame_file_writer.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "tools/png/png_frame_encoder.h"

namespace morvane::capture {

FrameFileWriter::FrameFileWriter(unsigned workers) {
  const unsigned count = workers != 0 ? workers : std::max(1u, std::thread::hardware_concurrency());
  // One frame in each worker, as many queued, and one being filled: enough to keep every
  // worker fed without the queue running ahead by more than a few megabytes.
  max_buffers_ = 2 * std::size_t{count} + 1;
  free_.reserve(max_buffers_);
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
  changed_.wait(lock, [this] { return buffers_out_ < max_buffers_ || failure_; });
  rethrow_failure();
  ++buffers_out_;
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
    free_.push_back(std::move(job.pixels));
    --buffers_out_;
    if (failure && !failure_) {
      failure_ = failure;
      for (Job& dropped : jobs_) {
        free_.push_back(std::move(dropped.pixels));
        --buffers_out_;
      }
      jobs_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace morvane::capture
