#pragma once
// Encodes frames to a video file through an ffmpeg process: frames stream into ffmpeg's
// standard input as the Y'CbCr 4:2:0 planes x264 takes; the audio is muxed in when the frames
// are done.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "contracts/pixel.h"
#include "tools/capture/capture_options.h"

namespace morvane::capture {

bool ffmpeg_available();

// The x264 arguments for a quality: preset and constant rate factor.
std::string x264_arguments(VideoQuality quality);

class VideoEncoder {
 public:
  // Throws std::runtime_error when ffmpeg is missing or cannot be started; width and height even.
  VideoEncoder(const std::filesystem::path& output, int width, int height, FrameRate fps,
               VideoQuality quality = VideoQuality::kFast);
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // width x height pixels 0x00RRGGBB.
  void add_frame(std::span<const Pixel32> pixels);
  // Closes the video stream and muxes the WAV file in; throws when ffmpeg fails.
  void finish(const std::filesystem::path& wav);

 private:
  std::filesystem::path output_;
  std::filesystem::path silent_video_;
  std::FILE* pipe_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> planes_;
};

}  // namespace morvane::capture
