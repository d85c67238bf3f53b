#pragma once
// One offline run of the show: the driver and the scenes as the player runs them, with a
// Display that takes each presented buffer, advances the song by exactly one frame's worth of
// rendered audio and writes what was asked for.
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contracts/display.h"
#include "contracts/message_boxes.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/event_hook.h"
#include "tools/capture/frame_file_writer.h"
#include "tools/capture/frame_fingerprint.h"
#include "tools/capture/progress_bar.h"
#include "tools/capture/scene_tracker.h"
#include "tools/capture/video_encoder.h"

namespace morvane {
class OfflineSoundLibrary;
}

namespace morvane::capture {

inline constexpr int kSampleRate = 44100;

// Audio frames from the song's start to the start of video frame n: floor(n x 44100 / fps).
std::int64_t audio_frames_before(std::int64_t video_frame, FrameRate fps);

struct CaptureResult {
  bool ok = false;
  std::string error;          // the message the player would have shown
  std::int64_t frames = 0;    // frames presented
  std::int64_t written = 0;   // frames written
  double song_seconds = 0.0;  // song time at the end
  // Events raised after the last presented frame (the closing command ends the show unseen).
  std::vector<std::uint8_t> final_events;
};

class CaptureSession final : public Display, public MessageBoxes {
 public:
  CaptureSession(const CaptureOptions& options, OfflineSoundLibrary& sound);
  ~CaptureSession() override;

  // Runs the whole show in the working directory; files are written to the options' paths.
  CaptureResult run();

  // Display
  bool open(const std::string& title, int width, int height, bool fullscreen) override;
  void update(std::span<const Pixel32> pixels) override;
  void close() noexcept override;
  // MessageBoxes: the question is answered No (windowed); errors are kept for the result.
  bool ask_yes_no(const std::string& text, const std::string& title) override;
  void show_error(const std::string& text, const std::string& title) noexcept override;

 private:
  bool in_range(double song_seconds) const;
  void write_frame(std::span<const Pixel32> pixels);
  void finish_outputs();

  const CaptureOptions& options_;
  OfflineSoundLibrary& sound_;
  EventHookedLibrary hooked_;
  SceneTracker scenes_;
  ProgressBar progress_;
  std::ofstream log_file_;
  std::ostream* log_ = nullptr;
  std::unique_ptr<VideoEncoder> video_;
  std::unique_ptr<FrameFileWriter> frame_files_;
  std::vector<Pixel32> native_;  // scratch for native frames when no PNG is written
  std::vector<std::uint8_t> events_since_frame_;
  std::int64_t frame_ = 0;
  std::int64_t written_ = 0;
  std::optional<std::int64_t> first_written_audio_;
  std::int64_t last_written_audio_ = 0;
  std::int64_t frames_after_song_end_ = 0;
  bool reached_end_of_range_ = false;
  std::string error_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace morvane::capture
