#include "tools/capture/frame_file_writer.h"

#include "tools/png/png_writer.h"

namespace morvane::capture {

FrameFileWriter::FrameFileWriter() : worker_([this] { work(); }) {}

FrameFileWriter::~FrameFileWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void FrameFileWriter::rethrow_failure() {
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void FrameFileWriter::write(std::filesystem::path file, int width, int height, std::vector<std::uint8_t> rgb) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return jobs_.size() < kMaxQueued || failure_; });
  rethrow_failure();
  jobs_.push_back(Job{std::move(file), width, height, std::move(rgb)});
  changed_.notify_all();
}

void FrameFileWriter::finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (jobs_.empty() && !busy_) || failure_; });
  rethrow_failure();
}

void FrameFileWriter::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
    if (jobs_.empty()) return;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      write_png_rgb(job.file, job.width, job.height, job.rgb, PngCompression::kFast);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    if (failure && !failure_) {
      failure_ = failure;
      jobs_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace morvane::capture
