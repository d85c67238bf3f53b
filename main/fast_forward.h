#pragma once
// Starting the show later than its beginning: the driver and the scenes run as in the capture
// tool, one frame per 1/60 s of song rendered offline and silently, until the start point;
// from there the same run continues live, with sound, from exactly that audio frame. Every
// scene's state is then what the whole show would have left.
#include <chrono>
#include <cstdint>
#include <optional>

#include "contracts/display.h"
#include "core/driver.h"

namespace morvane {

class SdlSoundLibrary;

class FastForward final : public Display {
 public:
  // Goes live at audio frame `until_frame`, or at the start of the scene at playing position
  // `until_scene` (0: none), whichever comes first. `live` shows frames from then on (and now
  // and then before, so that the window answers its keys).
  FastForward(Display& live, SdlSoundLibrary& sound, std::int64_t until_frame, int until_scene);

  // The parts of `make_part`, the one at `until_scene` going live as it starts.
  PartFactory wrap(PartFactory make_part);

  bool open(const std::string& title, int width, int height, bool fullscreen) override;
  void update(std::span<const Pixel32> pixels) override;
  void close() noexcept override;

  bool live() const { return live_; }
  // True when the last scene ended before the start point was reached.
  bool ended_offline() const { return ended_offline_; }
  // Wall-clock time the offline run took.
  std::chrono::steady_clock::duration offline_time() const { return offline_time_; }
  // Song frame at which the live show began.
  std::int64_t live_frame() const { return live_frame_; }

  // Audio frames of song per offline frame: the capture tool's 60 frames per second at 44100 Hz.
  static constexpr std::int64_t kFramesPerStep = 44100 / 60;

 private:
  friend class FastForwardPart;
  void go_live();

  Display& live_display_;
  SdlSoundLibrary& sound_;
  std::int64_t until_frame_;
  int until_scene_;
  bool live_ = false;
  bool ended_offline_ = false;
  std::int64_t live_frame_ = 0;
  std::optional<std::chrono::steady_clock::time_point> started_;
  std::chrono::steady_clock::time_point last_shown_{};
  std::chrono::steady_clock::duration offline_time_{};
};

}  // namespace morvane
