#pragma once
// Encodes frames to a video file through an ffmpeg process: frames stream into ffmpeg's
// standard input as raw RGB; the audio is muxed in when the frames are done.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>

#include "tools/capture/capture_options.h"

namespace morvane::capture {

bool ffmpeg_available();

class VideoEncoder {
 public:
  // Throws std::runtime_error when ffmpeg is missing or cannot be started.
  VideoEncoder(const std::filesystem::path& output, int width, int height, FrameRate fps);
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  void add_frame(std::span<const std::uint8_t> rgb);
  // Closes the video stream and muxes the WAV file in; throws when ffmpeg fails.
  void finish(const std::filesystem::path& wav);

 private:
  std::filesystem::path output_;
  std::filesystem::path silent_video_;
  std::FILE* pipe_ = nullptr;
};

}  // namespace morvane::capture
