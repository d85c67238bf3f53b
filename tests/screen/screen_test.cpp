#include "screen/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "contracts/close.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

struct ScreenTest : ::testing::Test {
  testing::CallLog log;
  testing::FakeDisplay display{log};
  testing::FakeMessageBoxes boxes{log};

  std::size_t count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
  static bool all(std::span<const Pixel32> pixels, Pixel32 value) {
    return std::all_of(pixels.begin(), pixels.end(), [&](Pixel32 p) { return p == value; });
  }
};

// Every frame pixel its own colour, so a misplaced copy shows; rows 0..39 and 440..479 black.
TEST_F(ScreenTest, PresentDoubledFillsTheMiddleRowsAndLeavesBordersBlack) {
  Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  display.keep_frames = true;
  std::vector<Rgb565> frame(kFramePixels);
  for (int i = 0; i < kFramePixels; ++i) frame[static_cast<std::size_t>(i)] = static_cast<Rgb565>(i * 40503u + 7u);
  for (int present = 0; present < 2; ++present) {
    screen.present_doubled(frame);
    const std::span<const Pixel32> shown = display.last_frame;
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(kDisplayWidth * kDisplayHeight));
    EXPECT_TRUE(all(shown.first(40 * kDisplayWidth), 0));
    EXPECT_TRUE(all(shown.last(40 * kDisplayWidth), 0));
    for (int y = 40; y < 440; ++y)
      for (int x = 0; x < kDisplayWidth; ++x)
        ASSERT_EQ(shown[static_cast<std::size_t>(y * kDisplayWidth + x)], to_pixel32(frame[static_cast<std::size_t>((y - 40) / 2 * kFrameWidth + x / 2)]))
            << "x=" << x << " y=" << y;
  }
  EXPECT_EQ(display.updates, 2);
  display.close_at_update = 2;  // Close from the display leaves the present
  EXPECT_THROW(screen.present_doubled(frame), Close);
}

TEST_F(ScreenTest, ResizeClearsAndNeverReopensAndCloseFreesTheBufferOnce) {
  {
    Screen screen(kDisplayWidth, kDisplayHeight, display, boxes);
    screen.open("Morvane", kFrameWidth, kFrameHeight);
    screen.present_doubled(std::vector<Rgb565>(kFramePixels, 0xFFFF));
    screen.resize(kDisplayWidth, kDisplayHeight);
    EXPECT_TRUE(all(screen.pixels(), 0));
    const std::span<Pixel32> direct = screen.direct_pixels();
    ASSERT_EQ(direct.size(), static_cast<std::size_t>(kDisplayWidth * kDisplayHeight));
    std::fill(direct.begin(), direct.end(), 0x00123456u);
    display.keep_frames = true;
    screen.present_direct();
    EXPECT_TRUE(all(display.last_frame, 0x00123456u));
    screen.resize(kFrameWidth, kFrameHeight);
    EXPECT_TRUE(all(screen.pixels(), 0));
    EXPECT_EQ(count("display.open Quillfen - Morvane(win32) 640x480 windowed"), 1u);
    EXPECT_EQ(count("display.close"), 0u);
    screen.close();
    EXPECT_FALSE(screen.is_open());
    EXPECT_TRUE(screen.pixels().empty());
  }
  EXPECT_EQ(count("display.close"), 1u);
}

}  // namespace
}  // namespace morvane
