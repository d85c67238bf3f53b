#include "tools/capture/video_encoder.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace morvane::capture {
namespace {

std::string quoted(const std::filesystem::path& path) {
  std::string out = "'";
  for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

bool ffmpeg_available() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

VideoEncoder::VideoEncoder(const std::filesystem::path& output, int width, int height, FrameRate fps)
    : output_(output) {
  if (!ffmpeg_available()) throw std::runtime_error("--video needs ffmpeg, which is not installed (apt-get install ffmpeg)");
  silent_video_ = output;
  silent_video_ += ".video-only.mkv";
  const std::string command = "ffmpeg -y -loglevel error -f rawvideo -pix_fmt rgb24 -s " + std::to_string(width) +
                              "x" + std::to_string(height) + " -r " + std::to_string(fps.numerator) + "/" +
                              std::to_string(fps.denominator) +
                              " -i - -c:v libx264 -preset fast -crf 16 -pix_fmt yuv420p " + quoted(silent_video_);
  pipe_ = popen(command.c_str(), "w");
  if (pipe_ == nullptr) throw std::runtime_error("cannot start ffmpeg");
}

VideoEncoder::~VideoEncoder() {
  if (pipe_ != nullptr) pclose(pipe_);
  std::error_code ignored;
  std::filesystem::remove(silent_video_, ignored);
}

void VideoEncoder::add_frame(std::span<const std::uint8_t> rgb) {
  if (std::fwrite(rgb.data(), 1, rgb.size(), pipe_) != rgb.size()) throw std::runtime_error("ffmpeg stopped taking frames");
}

void VideoEncoder::finish(const std::filesystem::path& wav) {
  const int status = pclose(pipe_);
  pipe_ = nullptr;
  if (status != 0) throw std::runtime_error("ffmpeg failed to encode the frames");
  const std::string command = "ffmpeg -y -loglevel error -i " + quoted(silent_video_) + " -i " + quoted(wav) +
                              " -c:v copy -c:a aac -b:a 256k -shortest " + quoted(output_);
  if (std::system(command.c_str()) != 0) throw std::runtime_error("ffmpeg failed to add the audio to " + output_.string());
}

}  // namespace morvane::capture
