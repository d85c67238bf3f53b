#pragma once
// Command line of morvane-capture.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace morvane::capture {

struct FrameRate {
  std::int64_t numerator = 60;
  std::int64_t denominator = 1;
  double value() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
};

// How hard --video's x264 works: draft (quickest, biggest files), fast (the default: several
// times real time, visually clean) or high (slowest, smallest at the best quality).
enum class VideoQuality { kDraft, kFast, kHigh };

struct CaptureOptions {
  FrameRate fps;
  std::optional<std::filesystem::path> out_dir;  // PNG frames, WAV, log
  std::optional<std::filesystem::path> video;    // mp4 through ffmpeg
  VideoQuality quality = VideoQuality::kFast;
  std::optional<std::filesystem::path> log;      // CSV log (default: OUT/frames.csv or stdout-less)
  std::filesystem::path data_dir = ".";
  double from_seconds = 0.0;
  std::optional<double> to_seconds;
  bool native = false;   // 320 x 200 frames instead of the 640 x 480 buffer
  bool progress = true;
  bool help = false;
};

// Parses argv; throws std::invalid_argument with a message for the user on bad input.
CaptureOptions parse_options(const std::vector<std::string>& args);
// "60", "30", "60000/1001", "59.94" -> a rational rate; throws std::invalid_argument.
FrameRate parse_frame_rate(const std::string& text);

extern const char* const kUsage;

}  // namespace morvane::capture
