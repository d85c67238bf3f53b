#include "main/player.h"

#include <chrono>
#include <cstdio>
#include <limits>

#include "demo_parts/demo_parts.h"
#include "main/data_search.h"
#include "main/fast_forward.h"
#include "platform/sdl_display.h"
#include "platform/sdl_message_boxes.h"
#include "platform/sdl_sound_library.h"

namespace morvane {
namespace {

constexpr int kSampleRate = 44100;

// The start-up question answered by the command line; errors still go to the real box.
class AnsweredBoxes final : public MessageBoxes {
 public:
  AnsweredBoxes(MessageBoxes& boxes, bool fullscreen) : boxes_(boxes), fullscreen_(fullscreen) {}
  bool ask_yes_no(const std::string&, const std::string&) override { return fullscreen_; }
  void show_error(const std::string& text, const std::string& title) noexcept override {
    boxes_.show_error(text, title);
  }

 private:
  MessageBoxes& boxes_;
  bool fullscreen_;
};

}  // namespace

int run_player(const PlayerOptions& options, const std::filesystem::path& installed) {
  const ShowFiles files = find_show_files(options.data_dir, installed);
  SdlSoundLibrary sound;
  SdlDisplay display;
  SdlMessageBoxes boxes;
  // Pictures stop inside the display, music and song clock in the sound library.
  display.on_pause([&sound](bool paused) { sound.set_paused(paused); });
  AnsweredBoxes answered(boxes, options.fullscreen.value_or(false));
  MessageBoxes& asked = options.fullscreen ? static_cast<MessageBoxes&>(answered) : boxes;

  const std::int64_t start_frame = options.start_frame(kSampleRate);
  const int start_scene = options.start_scene.value_or(1);
  if (start_frame == 0 && start_scene == 1) {
    Platform platform{sound, display, asked};
    return run_demo(platform, &make_demo_part, files);
  }

  const std::int64_t until_frame = start_frame > 0 ? start_frame : std::numeric_limits<std::int64_t>::max();
  FastForward fast_forward(display, sound, until_frame, start_scene > 1 ? start_scene : 0);
  Platform platform{sound, fast_forward, asked};
  const int status = run_demo(platform, fast_forward.wrap(&make_demo_part), files);
  if (fast_forward.ended_offline()) {
    std::fprintf(stderr, "morvane: the show ends before the start point %.3f s\n", options.start_seconds.value_or(0.0));
    return 2;
  }
  if (fast_forward.live()) {
    const double seconds = std::chrono::duration<double>(fast_forward.offline_time()).count();
    std::fprintf(stderr, "morvane: started live at %.3f s of song after %.1f s of fast-forward\n",
                 static_cast<double>(fast_forward.live_frame()) / kSampleRate, seconds);
  }
  return status;
}

}  // namespace morvane
