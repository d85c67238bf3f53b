#pragma once
// The frame loop every scene runs: per frame the song clock is read (order, then ticks), the
// scene draws, the frame is shown, and the loop ends on the frame that reached the scene's last
// order. Commands of the module reach a scene only through its clock, and only when it takes
// them: a scene that does not listen leaves a pending command for the next one.
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>
#include <type_traits>

#include "contracts/pixel.h"
#include "core/music.h"
#include "core/song_event.h"
#include "screen/screen.h"

namespace morvane {

class PartClock {
 public:
  // Whether the start time keeps its fraction of a tick or drops it.
  enum class Start { exact, whole_tick };

  // Reads the ticks once: the part's start time.
  explicit PartClock(Music& music, Start start = Start::exact, SongEvent& events = song_event())
      : music_(music), events_(events), t0_(music.ticks()) {
    if (start == Start::whole_tick) t0_ = std::trunc(t0_);
  }

  // Reads order, then ticks. When the order differs from the previous frame's, its start
  // time becomes the current local time.
  void next_frame() {
    order_ = music_.order();
    t_ = music_.ticks() - t0_;
    if (order_ != last_order_) {
      last_order_ = order_;
      if (order_ >= 0 && order_ < static_cast<int>(order_start_.size())) order_start_[order_] = t_;
    }
  }
  // The command that arrived since the last take, if any.
  std::optional<std::uint8_t> take_event() noexcept { return events_.take(); }

  int order() const { return order_; }
  float t() const { return t_; }
  float t0() const { return t0_; }
  // Local time at which the order last began; 0 for an order not seen yet.
  float order_start(int order) const {
    if (order < 0 || order >= static_cast<int>(order_start_.size())) return 0.0f;
    return order_start_[order];
  }

 private:
  Music& music_;
  SongEvent& events_;
  float t0_;
  int order_ = 0;
  float t_ = 0.0f;
  int last_order_ = -1;
  std::array<float, 256> order_start_{};
};

// What a drawn frame asks of the loop when the scene decides the end itself.
enum class FrameEnd { next, last, unshown };  // show and go on; show and stop; stop unshown

// No order ends the loop: the scene's draw step decides.
inline constexpr int kNoLastOrder = std::numeric_limits<int>::max();

class FrameLoop {
 public:
  // Checks the shared frame buffer's size and starts the clock.
  FrameLoop(Screen& screen, Music& music, std::span<Rgb565> frame, PartClock::Start start = PartClock::Start::exact)
      : screen_(screen), pixels_(checked(frame)), clock_(music, start) {}

  std::span<Rgb565, kFramePixels> pixels() const { return pixels_; }
  PartClock& clock() { return clock_; }

  // Frames at the frame size until the first one shown at last_order or later. draw(clock)
  // returns nothing, or a FrameEnd.
  template <typename Draw>
  void play_until(int last_order, Draw&& draw) {
    play(last_order, draw, [this] { screen_.present_doubled(pixels_); });
  }
  // The same with the screen's display-sized buffer shown as it is.
  template <typename Draw>
  void play_direct_until(int last_order, Draw&& draw) {
    play(last_order, draw, [this] { screen_.present_direct(); });
  }

 private:
  static std::span<Rgb565, kFramePixels> checked(std::span<Rgb565> frame) {
    if (frame.size() < static_cast<std::size_t>(kFramePixels)) throw std::logic_error("frame buffer too small");
    return frame.first<kFramePixels>();
  }

  template <typename Draw, typename Present>
  void play(int last_order, Draw& draw, Present present) {
    for (;;) {
      clock_.next_frame();
      FrameEnd end = FrameEnd::next;
      if constexpr (std::is_void_v<std::invoke_result_t<Draw&, PartClock&>>) {
        draw(clock_);
      } else {
        end = draw(clock_);
      }
      if (end == FrameEnd::unshown) return;
      present();
      if (end == FrameEnd::last || clock_.order() >= last_order) return;
    }
  }

  Screen& screen_;
  std::span<Rgb565, kFramePixels> pixels_;
  PartClock clock_;
};

}  // namespace morvane
