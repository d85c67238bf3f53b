#pragma once
// A song scripted frame by frame for the camera flight, keeping what each present showed: the
// frame buffer for doubled presents, the whole display buffer for direct ones.
#include <optional>
#include <vector>

#include "main/demo_part.h"
#include "main/music.h"
#include "screen/display.h"
#include "screen/screen.h"
#include "tests/demo_parts/scene_harness.h"
#include "tests/support/fake_platform.h"

namespace morvane::testing {

struct Presented {
  bool direct;                  // the Screen was at display size
  std::vector<Rgb565> frame;    // the frame buffer (doubled presents)
  std::vector<Pixel32> pixels;  // the display buffer (direct presents)
};

// Frame f reads step f; the entry read comes from entry_ms. Past the script the last step
// repeats without events, and 20 frames later the display throws Close.
class FlightHarness {
 public:
  FlightHarness();

  // Plays the part once; true when it returned by itself.
  bool play(DemoPart& part, std::vector<SongStep> script, int entry_ms = 0);

  std::vector<Rgb565> frame = std::vector<Rgb565>(kFramePixels, 0x1234);
  std::vector<Presented> presented;
  const Screen& screen() const { return screen_; }

 private:
  class RecordingDisplay : public Display {
   public:
    explicit RecordingDisplay(FlightHarness& harness) : harness_(harness) {}
    bool open(const std::string&, int, int, bool) override { return true; }
    int update(std::span<const Pixel32> pixels) override;
    void close() noexcept override {}

   private:
    FlightHarness& harness_;
  };

  CallLog log_;
  ScriptedSoundLibrary sound_{log_};
  RecordingDisplay display_{*this};
  FakeMessageBoxes boxes_{log_};
  Screen screen_{kDisplayWidth, kDisplayHeight, display_, boxes_};
  Music music_{sound_};
  std::vector<SongStep> script_;
  int entry_ms_ = 0;
};

}  // namespace morvane::testing
