// The driver's start-up, run and teardown order, and how each kind of failure ends the show.
#include "core/driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "core/song_event.h"
#include "screen/screen.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

using testing::CallLog;

class LoggingPart : public DemoPart {
 public:
  LoggingPart(int position, CallLog& log, int throw_on_load) : position_(position), log_(log), throw_on_load_(throw_on_load) {
    log_.push_back("part.construct " + std::to_string(position_));
  }
  void run(Screen& screen, Music&, std::span<Rgb565> frame) override {
    log_.push_back("part.run " + std::to_string(position_));
    EXPECT_EQ(frame.size(), 64000u);
    screen.present_doubled(frame);
  }

 protected:
  void load_assets(const Archive&) override {
    log_.push_back("part.load " + std::to_string(position_));
    if (throw_on_load_ == position_) throw std::runtime_error("Could not load the file 'x.pcx' from morvane.dat");
  }
  void release() noexcept override { log_.push_back("part.release " + std::to_string(position_)); }

 private:
  int position_;
  CallLog& log_;
  int throw_on_load_;
};

struct Fakes {
  CallLog log;
  testing::ScriptedSoundLibrary sound{log};
  testing::FakeDisplay display{log};
  testing::FakeMessageBoxes boxes{log};
  int throw_on_load = 0;      // playing position whose load throws
  bool no_part = false;       // the factory has no part for position 1
};

CallLog each(const char* what, std::initializer_list<int> positions) {
  CallLog out;
  for (int p : positions) out.push_back(std::string(what) + " " + std::to_string(p));
  return out;
}

CallLog operator+(CallLog a, const CallLog& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const CallLog kStart = {"sound.version", "sound.init 44100 64 2", "box.question Quillfen - Morvane(win32)",
                        "display.open Quillfen - Morvane(win32) 640x480 windowed"};
const CallLog kConstructAndLoad = each("part.construct", {1, 2, 3, 4, 6, 5, 7}) + each("part.load", {1, 2, 3, 4, 6, 5, 7});
const CallLog kPlay = {"sound.load morvane.xm", "sound.callback", "sound.play", "sound.looping off"};
const CallLog kReleaseAll = each("part.release", {7, 5, 6, 4, 3, 2, 1});
std::string error_box(const std::string& text) { return "box.error Quillfen-Morvane(win32): Error!: " + text; }

TEST(Driver, EveryWayTheShowEndsHasItsOrderMessageAndStatus) {
  struct Case {
    const char* name;
    std::function<void(Fakes&)> script;
    CallLog expected;
  };
  const Case cases[] = {
      {"normal run", [](Fakes&) {},
       kStart + kConstructAndLoad + kPlay + each("part.run", {1, 2, 3, 4, 5, 6, 7}) + CallLog{"sound.free", "display.close"} +
           kReleaseAll + CallLog{"sound.close"}},
      {"full screen", [](Fakes& f) { f.boxes.answer = true; },
       CallLog{kStart[0], kStart[1], kStart[2], "display.open Quillfen - Morvane(win32) 640x480 fullscreen"} +
           kConstructAndLoad + kPlay + each("part.run", {1, 2, 3, 4, 5, 6, 7}) + CallLog{"sound.free", "display.close"} +
           kReleaseAll + CallLog{"sound.close"}},
      // A library that fails its checks is never closed, and no window opens (closing the
      // display that never opened is harmless).
      {"old library", [](Fakes& f) { f.sound.version_value = 3.59f; },
       {"sound.version", "display.close", error_box("Wrong version of fmod.dll")}},
      {"init fails", [](Fakes& f) { f.sound.init_ok = false; },
       {"sound.version", "sound.init 44100 64 2", "display.close", error_box("Error initializing output device.")}},
      // Unwinding closes the library, then the screen closes the partly opened display; then the box.
      {"no window", [](Fakes& f) { f.display.open_ok = false; },
       kStart + CallLog{"sound.close", "display.close", error_box("Could not create window!")}},
      {"no full-screen window", [](Fakes& f) { f.display.open_ok = false, f.boxes.answer = true; },
       CallLog{kStart[0], kStart[1], kStart[2], "display.open Quillfen - Morvane(win32) 640x480 fullscreen",
               "sound.close", "display.close", error_box("Could not create window (fullscreen)!")}},
      {"no part", [](Fakes& f) { f.no_part = true; },
       kStart + CallLog{"sound.close", "display.close", error_box("no demo part for a playing position")}},
      // Parts 1 and 2 were loaded; 3 failed half-way and the others never loaded.
      {"a load fails", [](Fakes& f) { f.throw_on_load = 3; },
       kStart + each("part.construct", {1, 2, 3, 4, 6, 5, 7}) + each("part.load", {1, 2, 3}) + each("part.release", {2, 1}) +
           CallLog{"sound.close", "display.close", error_box("Could not load the file 'x.pcx' from morvane.dat")}},
      // Closed by the failed load, then again by the music's teardown (harmless), before the box.
      {"no module", [](Fakes& f) { f.sound.load_ok = false; },
       kStart + kConstructAndLoad + CallLog{"sound.load morvane.xm", "sound.close"} + kReleaseAll +
           CallLog{"sound.close", "display.close", error_box("File not found")}},
      // Closed inside the third part's first present: silent, everything torn down.
      {"closed", [](Fakes& f) { f.display.close_at_update = 2; },
       kStart + kConstructAndLoad + kPlay + each("part.run", {1, 2, 3}) + CallLog{"display.update Close"} + kReleaseAll +
           CallLog{"sound.free", "sound.close", "display.close"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fakes f;
    c.script(f);
    song_event().reset();
    Platform platform{f.sound, f.display, f.boxes};
    const int status = run_demo(platform, [&](int position) -> std::unique_ptr<DemoPart> {
      if (f.no_part) return nullptr;
      return std::make_unique<LoggingPart>(position, f.log, f.throw_on_load);
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(f.log, c.expected);
    if (f.log.size() > 2 && f.log[2] == kStart[2]) {
      EXPECT_EQ(f.boxes.last_question, "Would you like to watch Morvane in fullscreen mode?");
    }
  }
}

}  // namespace
}  // namespace morvane
