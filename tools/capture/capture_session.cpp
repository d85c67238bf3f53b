#include "tools/capture/capture_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "demo_parts/demo_parts.h"
#include "core/driver.h"
#include "core/music.h"
#include "platform/offline_sound_library.h"
#include "contracts/close.h"
#include "tools/capture/wav_writer.h"

namespace morvane::capture {
namespace {

// A show whose module has ended without its closing command would run forever in the player;
// the capture gives up after this much silence.
constexpr double kSecondsAfterSongEnd = 10.0;

}  // namespace

std::int64_t audio_frames_before(std::int64_t video_frame, FrameRate fps) {
  return video_frame * kSampleRate * fps.denominator / fps.numerator;
}

CaptureSession::CaptureSession(const CaptureOptions& options, OfflineSoundLibrary& sound)
    : options_(options),
      sound_(sound),
      hooked_(sound, [this](std::uint8_t value) { events_since_frame_.push_back(value); }),
      progress_(options.progress, options.to_seconds.value_or(0.0)) {}

CaptureSession::~CaptureSession() = default;

CaptureResult CaptureSession::run() {
  if (options_.out_dir) {
    std::filesystem::create_directories(*options_.out_dir);
    frame_files_ = std::make_unique<FrameFileWriter>();
  }
  if (options_.log) {
    log_file_.open(*options_.log);
    if (!log_file_) throw std::runtime_error("cannot write the log " + options_.log->string());
    log_ = &log_file_;
  } else {
    log_ = &std::cout;
  }
  *log_ << "frame,scene,order,time_ms,ticks,events,hash\n";

  Platform platform{hooked_, *this, *this};
  run_demo(platform, [this](int position) { return scenes_.wrap(position, make_demo_part(position)); });
  progress_.finish();

  CaptureResult result;
  result.frames = frame_;
  result.written = written_;
  result.song_seconds = static_cast<double>(audio_frames_before(frame_, options_.fps)) / kSampleRate;
  result.final_events = events_since_frame_;
  result.error = error_;
  result.ok = error_.empty();
  if (result.ok) finish_outputs();
  log_->flush();
  return result;
}

bool CaptureSession::open(const std::string&, int width, int height, bool) {
  width_ = width;
  height_ = height;
  if (options_.video) {
    const int w = options_.native ? kFrameWidth : width;
    const int h = options_.native ? kFrameHeight : height;
    try {
      video_ = std::make_unique<VideoEncoder>(*options_.video, w, h, options_.fps, options_.quality);
    } catch (const std::exception& error) {
      error_ = error.what();
      return false;
    }
  }
  return true;
}

bool CaptureSession::in_range(double song_seconds) const {
  return song_seconds >= options_.from_seconds && (!options_.to_seconds || song_seconds < *options_.to_seconds);
}

void CaptureSession::update(std::span<const Pixel32> pixels) {
  const std::int64_t start = audio_frames_before(frame_, options_.fps);
  const std::int64_t end = audio_frames_before(frame_ + 1, options_.fps);
  const double song_seconds = static_cast<double>(start) / kSampleRate;
  if (options_.to_seconds && song_seconds >= *options_.to_seconds) {
    reached_end_of_range_ = true;
    throw Close();
  }

  // What the scene read for this frame: the clock has not moved since.
  SoundModule* module = hooked_.module();
  const int order = hooked_.order(module);
  const int ms = hooked_.time_ms(module);
  char ticks[32];
  std::snprintf(ticks, sizeof ticks, "%.9g", static_cast<double>(ms_to_ticks(ms)));
  *log_ << frame_ << ',' << scenes_.current() << ',' << order << ',' << ms << ',' << ticks << ',';
  for (std::size_t i = 0; i < events_since_frame_.size(); ++i) *log_ << (i ? " " : "") << int{events_since_frame_[i]};
  char hash[24];
  std::snprintf(hash, sizeof hash, ",%016llx\n", static_cast<unsigned long long>(frame_hash(pixels)));
  *log_ << hash;
  events_since_frame_.clear();

  if (in_range(song_seconds)) {
    if (!first_written_audio_) first_written_audio_ = start;
    last_written_audio_ = end;
    write_frame(pixels);
    ++written_;
  }

  // The frame is shown for 1/fps second of music; events heard meanwhile go to the next frame.
  sound_.advance_frames(end - start);
  ++frame_;
  progress_.update(static_cast<double>(end) / kSampleRate, scenes_.current());

  if (sound_.finished()) {
    if (++frames_after_song_end_ > static_cast<std::int64_t>(kSecondsAfterSongEnd * options_.fps.value())) {
      throw std::runtime_error("The show did not end: the module stopped without its closing command");
    }
  }
}

void CaptureSession::write_frame(std::span<const Pixel32> pixels) {
  if (!frame_files_ && !video_) return;
  const int w = options_.native ? kFrameWidth : width_;
  const int h = options_.native ? kFrameHeight : height_;
  const auto count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  constexpr int kTop = (kDisplayHeight - 2 * kFrameHeight) / 2;
  const std::size_t needed = options_.native ? static_cast<std::size_t>(kTop + 2 * kFrameHeight) * width_ : count;
  if (pixels.size() < needed || (options_.native && width_ < 2 * kFrameWidth)) {
    throw std::logic_error("the presented buffer is smaller than the display");
  }

  // The frame leaves the display buffer once: into a pooled buffer for the PNG writers, or for
  // native frames into one of our own; a full-sized video frame goes to ffmpeg straight from the
  // display buffer.
  std::span<const Pixel32> image = pixels.first(count);
  std::vector<Pixel32> copy;
  if (frame_files_ || options_.native) {
    copy = frame_files_ ? frame_files_->take_buffer() : std::move(native_);
    copy.resize(count);
    if (options_.native) {
      // One pixel of every doubled 2 x 2 block.
      for (int y = 0; y < h; ++y) {
        const Pixel32* row = pixels.data() + static_cast<std::size_t>(kTop + 2 * y) * width_;
        Pixel32* out = copy.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) out[x] = row[2 * x];
      }
    } else {
      std::memcpy(copy.data(), pixels.data(), count * sizeof(Pixel32));
    }
    image = copy;
  }
  if (video_) video_->add_frame(image);
  if (frame_files_) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame_));
    frame_files_->write(*options_.out_dir / name, w, h, std::move(copy));
  } else {
    native_ = std::move(copy);
  }
}

void CaptureSession::finish_outputs() {
  if (frame_files_) frame_files_->finish();
  const std::span<const std::int16_t> all = sound_.samples();
  std::span<const std::int16_t> range;
  if (first_written_audio_) {
    const auto begin = static_cast<std::size_t>(*first_written_audio_) * 2;
    const auto end = std::min(static_cast<std::size_t>(last_written_audio_) * 2, all.size());
    if (begin < end) range = all.subspan(begin, end - begin);
  }
  std::filesystem::path wav;
  if (options_.out_dir) {
    wav = *options_.out_dir / "audio.wav";
  } else if (video_) {
    wav = *options_.video;
    wav += ".audio.wav";
  }
  if (!wav.empty()) write_wav(wav, kSampleRate, 2, range);
  if (video_) {
    video_->finish(wav);
    if (!options_.out_dir) std::filesystem::remove(wav);
  }
}

void CaptureSession::close() noexcept {}

bool CaptureSession::ask_yes_no(const std::string&, const std::string&) { return false; }

void CaptureSession::show_error(const std::string& text, const std::string&) noexcept {
  // The display's own reason (no ffmpeg, say) says more than the window message that follows it.
  if (reached_end_of_range_ || !error_.empty()) return;
  try {
    error_ = text;
  } catch (...) {
  }
}

}  // namespace morvane::capture
