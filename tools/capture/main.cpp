// morvane-capture: the show rendered offline, frame-exactly, to PNG frames, WAV audio, a
// per-frame log and (with ffmpeg) a video.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/offline_sound_library.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

int main(int argc, char** argv) {
  using namespace morvane::capture;
  CaptureOptions options;
  try {
    options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvane-capture: %s\n", error.what());
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  try {
    // Output paths are taken before moving into the data directory.
    if (options.out_dir) options.out_dir = std::filesystem::absolute(*options.out_dir);
    if (options.video) options.video = std::filesystem::absolute(*options.video);
    if (options.log) options.log = std::filesystem::absolute(*options.log);
    std::filesystem::current_path(options.data_dir);

    morvane::OfflineSoundLibrary sound;
    CaptureSession session(options, sound);
    const CaptureResult result = session.run();
    if (!result.ok) {
      std::fprintf(stderr, "morvane-capture: %s\n", result.error.c_str());
      return 1;
    }
    std::string final_events;
    for (std::uint8_t value : result.final_events) final_events += " " + std::to_string(value);
    std::fprintf(stderr, "morvane-capture: %lld frames presented, %lld in range, %.2f s of song, final events:%s\n",
                 static_cast<long long>(result.frames), static_cast<long long>(result.written), result.song_seconds,
                 final_events.empty() ? " none" : final_events.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "morvane-capture: %s\n", error.what());
    return 1;
  }
}
