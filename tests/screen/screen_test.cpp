#include "screen/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "contracts/close.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

using testing::CallLog;
using testing::FakeDisplay;
using testing::FakeMessageBoxes;

struct ScreenFixture : ::testing::Test {
  CallLog log;
  FakeDisplay display{log};
  FakeMessageBoxes boxes{log};

  std::size_t count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
};

// Every pixel its own colour, so a misplaced copy shows.
std::vector<Rgb565> distinct_frame() {
  std::vector<Rgb565> frame(kFramePixels);
  for (int i = 0; i < kFramePixels; ++i) frame[i] = static_cast<Rgb565>(i * 40503u + 7u);
  return frame;
}

bool all_black(std::span<const Pixel32> pixels, int first_row, int rows) {
  const auto begin = pixels.begin() + first_row * kDisplayWidth;
  return std::all_of(begin, begin + rows * kDisplayWidth, [](Pixel32 p) { return p == 0; });
}

TEST_F(ScreenFixture, OpenAsksTheQuestionAndOpensWindowedOnNo) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  boxes.answer = false;
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  EXPECT_EQ(boxes.last_question, "Would you like to watch Morvane in fullscreen mode?");
  EXPECT_EQ(screen.caption(), "Quillfen - Morvane(win32)");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "box.question Quillfen - Morvane(win32)");
  EXPECT_EQ(log[1], "display.open Quillfen - Morvane(win32) 640x480 windowed");
  EXPECT_FALSE(screen.fullscreen());
  EXPECT_EQ(screen.width(), kFrameWidth);
  EXPECT_EQ(screen.height(), kFrameHeight);
  EXPECT_TRUE(all_black(screen.pixels(), 0, kDisplayHeight));
}

TEST_F(ScreenFixture, YesOpensFullScreen) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  boxes.answer = true;
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  EXPECT_TRUE(screen.fullscreen());
  EXPECT_EQ(log.back(), "display.open Quillfen - Morvane(win32) 640x480 fullscreen");
}

TEST_F(ScreenFixture, FailedOpenNamesTheModeAndTeardownStillClosesTheDisplay) {
  for (bool fullscreen : {false, true}) {
    log.clear();
    display.open_ok = false;
    boxes.answer = fullscreen;
    {
      Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
      try {
        screen.open("Morvane", kFrameWidth, kFrameHeight);
        ADD_FAILURE() << "open succeeded";
      } catch (const Close&) {
        ADD_FAILURE() << "Close instead of an error";
      } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), fullscreen ? "Could not create window (fullscreen)!" : "Could not create window!");
      }
      EXPECT_TRUE(screen.is_open()) << "the buffer stays until teardown";
      EXPECT_EQ(count("display.close"), 0u);
    }
    EXPECT_EQ(count("display.close"), 1u);
  }
}

TEST_F(ScreenFixture, PresentDoubledFillsRows40To439AndLeavesBordersBlack) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  display.keep_frames = true;
  const std::vector<Rgb565> frame = distinct_frame();
  for (int present = 0; present < 3; ++present) {
    screen.present_doubled(frame);
    ASSERT_EQ(display.last_frame.size(), static_cast<std::size_t>(kDisplayWidth * kDisplayHeight));
    const std::span<const Pixel32> shown = display.last_frame;
    EXPECT_TRUE(all_black(shown, 0, 40));
    EXPECT_TRUE(all_black(shown, 440, 40));
    for (int y = 40; y < 440; ++y) {
      for (int x = 0; x < kDisplayWidth; ++x) {
        const Rgb565 source = frame[(y - 40) / 2 * kFrameWidth + x / 2];
        ASSERT_EQ(shown[y * kDisplayWidth + x], to_pixel32(source)) << "x=" << x << " y=" << y;
      }
    }
  }
  EXPECT_EQ(display.updates, 3);
}

TEST_F(ScreenFixture, LastFramePixelLandsInTheLastTwoByTwoBlock) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  std::vector<Rgb565> frame(kFramePixels, 0);
  frame[199 * kFrameWidth + 319] = 0xFFFF;
  screen.present_doubled(frame);
  const auto pixels = screen.pixels();
  int lit = 0;
  for (int i = 0; i < kDisplayWidth * kDisplayHeight; ++i) lit += pixels[i] != 0;
  EXPECT_EQ(lit, 4);
  for (int y : {438, 439}) {
    for (int x : {638, 639}) EXPECT_EQ(pixels[y * kDisplayWidth + x], 0x00FFFFFFu);
  }
}

TEST_F(ScreenFixture, ResizeClearsAndNeverReopens) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  screen.present_doubled(distinct_frame());
  screen.resize(kDisplayWidth, kDisplayHeight);
  EXPECT_TRUE(all_black(screen.pixels(), 0, kDisplayHeight));
  const std::span<Pixel32> direct = screen.direct_pixels();
  ASSERT_EQ(direct.size(), static_cast<std::size_t>(kDisplayWidth * kDisplayHeight));
  std::fill(direct.begin(), direct.end(), 0x00123456u);
  display.keep_frames = true;
  screen.present_direct();
  EXPECT_TRUE(std::all_of(display.last_frame.begin(), display.last_frame.end(), [](Pixel32 p) { return p == 0x00123456u; }));
  screen.resize(kFrameWidth, kFrameHeight);
  EXPECT_TRUE(all_black(screen.pixels(), 0, kDisplayHeight));
  EXPECT_EQ(screen.width(), kFrameWidth);
  EXPECT_EQ(count("display.open Quillfen - Morvane(win32) 640x480 windowed"), 1u);
  EXPECT_EQ(count("display.close"), 0u);
}

TEST_F(ScreenFixture, CloseFromTheDisplayLeavesThePresent) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  display.close_at_update = 1;
  const std::vector<Rgb565> frame = distinct_frame();
  EXPECT_NO_THROW(screen.present_doubled(frame));
  EXPECT_THROW(screen.present_doubled(frame), Close);
}

TEST_F(ScreenFixture, CloseFreesTheBufferAndTeardownThenDoesNothing) {
  {
    Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
    screen.open("Morvane", kFrameWidth, kFrameHeight);
    screen.close();
    EXPECT_FALSE(screen.is_open());
    EXPECT_TRUE(screen.pixels().empty());
    EXPECT_EQ(count("display.close"), 1u);
  }
  EXPECT_EQ(count("display.close"), 1u);
}

}  // namespace
}  // namespace morvane
