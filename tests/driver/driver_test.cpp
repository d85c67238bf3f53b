// The driver's start-up, run and teardown order, and how each kind of failure ends the show.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "core/driver.h"
#include "core/song_event.h"
#include "screen/screen.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

using testing::CallLog;

struct PartScript {
  int throw_on_load = 0;  // playing position whose load throws
};

class LoggingPart : public DemoPart {
 public:
  LoggingPart(int position, CallLog& log, const PartScript& script)
      : position_(position), log_(log), script_(script) {
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
    if (script_.throw_on_load == position_) throw std::runtime_error("Could not load the file 'x.pcx' from morvane.dat");
  }
  void release() noexcept override { log_.push_back("part.release " + std::to_string(position_)); }

 private:
  int position_;
  CallLog& log_;
  const PartScript& script_;
};

class DriverTest : public ::testing::Test {
 protected:
  CallLog log;
  testing::ScriptedSoundLibrary sound{log};
  testing::FakeDisplay display{log};
  testing::FakeMessageBoxes boxes{log};
  PartScript script;

  int run() {
    song_event().reset();
    Platform platform{sound, display, boxes};
    return run_demo(platform, [this](int position) { return std::make_unique<LoggingPart>(position, log, script); });
  }
  // The log entries that start with prefix, in order.
  std::vector<std::string> only(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return out;
  }
  std::ptrdiff_t position_of(const std::string& entry) const {
    auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? -1 : it - log.begin();
  }
};

TEST_F(DriverTest, NormalRunFollowsTheFixedOrders) {
  EXPECT_EQ(run(), 1);
  const CallLog expected = {
      "sound.version", "sound.init 44100 64 2", "box.question Quillfen - Morvane(win32)",
      "display.open Quillfen - Morvane(win32) 640x480 windowed",
      "part.construct 1", "part.construct 2", "part.construct 3", "part.construct 4",
      "part.construct 6", "part.construct 5", "part.construct 7",
      "part.load 1", "part.load 2", "part.load 3", "part.load 4", "part.load 6", "part.load 5", "part.load 7",
      "sound.load morvane.xm", "sound.callback", "sound.play", "sound.looping off",
      "part.run 1", "part.run 2", "part.run 3", "part.run 4", "part.run 5", "part.run 6", "part.run 7",
      "sound.free", "display.close",
      "part.release 7", "part.release 5", "part.release 6", "part.release 4", "part.release 3",
      "part.release 2", "part.release 1",
      "sound.close"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(boxes.last_question, "Would you like to watch Morvane in fullscreen mode?");
  EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(DriverTest, YesOpensTheFullScreenDisplay) {
  boxes.answer = true;
  run();
  EXPECT_EQ(only("display.open"), CallLog{"display.open Quillfen - Morvane(win32) 640x480 fullscreen"});
}

TEST_F(DriverTest, OldSoundLibraryFailsBeforeAnyWindowAndIsNotClosed) {
  sound.version_value = 3.59f;
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"Wrong version of fmod.dll"});
  EXPECT_TRUE(only("display.open").empty());
  EXPECT_TRUE(only("sound.init").empty());
  EXPECT_TRUE(only("sound.close").empty());
}

TEST_F(DriverTest, FailedInitShowsTheLibraryMessageAndDoesNotClose) {
  sound.init_ok = false;
  sound.init_error = 3;
  run();
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"Error initializing output device."});
  EXPECT_TRUE(only("sound.close").empty());
  EXPECT_TRUE(only("display.open").empty());
}

TEST_F(DriverTest, WindowThatCannotOpenIsReportedAfterTeardown) {
  display.open_ok = false;
  run();
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"Could not create window!"});
  // Unwinding closes the library, then the screen closes the partly opened display; then the box.
  EXPECT_LT(position_of("sound.close"), position_of("display.close"));
  EXPECT_LT(position_of("display.close"), position_of("box.error Quillfen-Morvane(win32): Error!: Could not create window!"));
  EXPECT_TRUE(only("part").empty());

  log.clear();
  boxes.errors.clear();
  boxes.answer = true;
  run();
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"Could not create window (fullscreen)!"});
}

TEST_F(DriverTest, FailedLoadStopsBeforeMusicAndTearsDownOnlyLoadedParts) {
  script.throw_on_load = 3;
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"Could not load the file 'x.pcx' from morvane.dat"});
  EXPECT_TRUE(only("sound.load").empty());
  EXPECT_TRUE(only("part.run").empty());
  // Parts 1 and 2 were loaded; 3 failed half-way and the others never loaded.
  EXPECT_EQ(only("part.release"), (CallLog{"part.release 2", "part.release 1"}));
  EXPECT_EQ(only("sound.close").size(), 1u);
  EXPECT_LT(position_of("part.release 1"), position_of("sound.close"));
  EXPECT_LT(position_of("sound.close"), position_of("display.close"));
  EXPECT_EQ(log.back(), "box.error Quillfen-Morvane(win32): Error!: Could not load the file 'x.pcx' from morvane.dat");
}

TEST_F(DriverTest, MissingModuleClosesTheLibraryAndShowsItsMessage) {
  sound.load_ok = false;
  sound.load_error = 9;
  run();
  EXPECT_EQ(boxes.errors, std::vector<std::string>{"File not found"});
  EXPECT_TRUE(only("part.run").empty());
  EXPECT_TRUE(only("sound.free").empty());
  // Closed by the failed load, then again by the Music teardown (harmless), before the box.
  EXPECT_EQ(only("sound.close").size(), 2u);
  EXPECT_EQ(only("part.release").size(), 7u);
}

TEST_F(DriverTest, CloseDuringAPartEndsSilentlyWithFullTeardown) {
  display.close_at_update = 2;  // inside the third part's first present
  EXPECT_EQ(run(), 1);
  EXPECT_TRUE(boxes.errors.empty());
  EXPECT_EQ(only("part.run"), (CallLog{"part.run 1", "part.run 2", "part.run 3"}));
  // Unwinding: parts in reverse construction order, then the module and library, then the screen.
  EXPECT_EQ(only("part.release"), (CallLog{"part.release 7", "part.release 5", "part.release 6", "part.release 4",
                                           "part.release 3", "part.release 2", "part.release 1"}));
  EXPECT_EQ(only("sound.free").size(), 1u);
  EXPECT_EQ(only("sound.close").size(), 1u);
  EXPECT_LT(position_of("part.release 1"), position_of("sound.free"));
  EXPECT_LT(position_of("sound.close"), position_of("display.close"));
}

}  // namespace
}  // namespace morvane
