// The SDL display on SDL's dummy video driver: a real window, renderer and texture without a
// screen; input arrives as events pushed into SDL's queue.
#include "platform/sdl_display.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "contracts/close.h"
#include "screen/screen.h"
#include "tests/support/fake_platform.h"

namespace morvane {
namespace {

using testing::CallLog;

constexpr const char* kTitle = "Quillfen - Morvane(win32)";

// Keeps SDL's video running across a display's close, so a test can look at what close left.
class VideoReference {
 public:
  VideoReference() { ok_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0; }
  ~VideoReference() {
    if (ok_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

class SdlDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }

  void SetUp() override {
    frame_.resize(kDisplayWidth * kDisplayHeight);
    for (int i = 0; i < kDisplayWidth * kDisplayHeight; ++i) frame_[i] = (static_cast<Pixel32>(i) * 2654435761u) & 0xFFFFFFu;
  }
  void TearDown() override { display_.close(); }

  void open(bool fullscreen) { ASSERT_TRUE(display_.open(kTitle, kDisplayWidth, kDisplayHeight, fullscreen)); }
  SDL_Window* window() const { return SDL_GetWindowFromID(display_.window_id()); }

  void push_key(SDL_Keycode key, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = display_.window_id();
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  void push_window_event(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = display_.window_id();
    e.window.event = what;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }

  // What the window shows, as 0x00RRGGBB.
  std::vector<Pixel32> shown(int* width, int* height) {
    SDL_Renderer* renderer = SDL_GetRenderer(window());
    EXPECT_NE(renderer, nullptr);
    if (!renderer || SDL_GetRendererOutputSize(renderer, width, height) != 0) return {};
    std::vector<Pixel32> pixels(static_cast<std::size_t>(*width) * *height);
    EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), *width * 4), 0);
    for (auto& p : pixels) p &= 0xFFFFFFu;
    return pixels;
  }

  SdlDisplay display_;
  std::vector<Pixel32> frame_;
};

TEST_F(SdlDisplayTest, OpensACentredWindowOfTheFrameSize) {
  open(false);
  SDL_Window* w = window();
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(w), kTitle);
  int width = 0, height = 0, x = 0, y = 0;
  SDL_GetWindowSize(w, &width, &height);
  SDL_GetWindowPosition(w, &x, &y);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  SDL_Rect desktop;
  ASSERT_EQ(SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(w), &desktop), 0);
  EXPECT_EQ(x, desktop.x + (desktop.w - 640) / 2);
  EXPECT_EQ(y, desktop.y + (desktop.h - 480) / 2);
  EXPECT_EQ(SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
}

TEST_F(SdlDisplayTest, UpdateShowsTheFrameExactlyAndLetterboxesAResizedWindow) {
  open(false);
  display_.update(frame_);
  int w = 0, h = 0;
  EXPECT_EQ(shown(&w, &h), frame_);

  // Resized by hand to a wider window: the frame keeps its shape between black bars.
  SDL_SetWindowSize(window(), 800, 480);
  display_.update(frame_);
  const std::vector<Pixel32> wide = shown(&w, &h);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 480);
  for (int y = 0; y < 480; y += 7) {
    for (int x = 0; x < 80; ++x) {
      ASSERT_EQ(wide[y * 800 + x], 0u) << x << "," << y;
      ASSERT_EQ(wide[y * 800 + 720 + x], 0u) << 720 + x << "," << y;
    }
    for (int x = 0; x < 640; ++x) ASSERT_EQ(wide[y * 800 + 80 + x], frame_[y * 640 + x]) << x << "," << y;
  }
}

TEST_F(SdlDisplayTest, ZoomKeysResizeAndRecentreWithNearestNeighbourScaling) {
  open(false);
  SDL_Rect desktop;
  ASSERT_EQ(SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window()), &desktop), 0);
  for (auto [key, factor] : {std::pair{SDLK_2, 2}, std::pair{SDLK_4, 4}, std::pair{SDLK_1, 1}}) {
    push_key(key, KMOD_LALT);
    display_.update(frame_);
    int width = 0, height = 0, x = 0, y = 0;
    SDL_GetWindowSize(window(), &width, &height);
    SDL_GetWindowPosition(window(), &x, &y);
    EXPECT_EQ(width, 640 * factor);
    EXPECT_EQ(height, 480 * factor);
    EXPECT_EQ(x, desktop.x + (desktop.w - width) / 2);
    EXPECT_EQ(y, desktop.y + (desktop.h - height) / 2);
    if (factor == 2) {
      // A second update draws at the new size: every frame pixel becomes a 2 x 2 block.
      display_.update(frame_);
      int w = 0, h = 0;
      const std::vector<Pixel32> big = shown(&w, &h);
      ASSERT_EQ(w, 1280);
      for (int sy = 0; sy < 480; sy += 13) {
        for (int sx = 0; sx < 640; ++sx) {
          const Pixel32 want = frame_[sy * 640 + sx];
          ASSERT_EQ(big[(2 * sy) * 1280 + 2 * sx], want);
          ASSERT_EQ(big[(2 * sy + 1) * 1280 + 2 * sx + 1], want);
        }
      }
    }
  }
  // Without Alt the digits do nothing.
  push_key(SDLK_2);
  display_.update(frame_);
  int width = 0, height = 0;
  SDL_GetWindowSize(window(), &width, &height);
  EXPECT_EQ(width, 640);
}

TEST_F(SdlDisplayTest, EscapeWindowCloseAndQuitRaiseClose) {
  // A fresh window per case: after a throw SDL keeps the rest of that poll cycle queued.
  for (int which = 0; which < 3; ++which) {
    SCOPED_TRACE(which);
    open(false);
    display_.update(frame_);
    if (which == 0) push_key(SDLK_ESCAPE);
    if (which == 1) push_window_event(SDL_WINDOWEVENT_CLOSE);
    if (which == 2) {
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      ASSERT_EQ(SDL_PushEvent(&quit), 1);
    }
    EXPECT_THROW(display_.update(frame_), Close);
    display_.close();
  }
}

TEST_F(SdlDisplayTest, OtherKeysDoNothing) {
  open(false);
  for (SDL_Keycode key : {SDLK_a, SDLK_SPACE, SDLK_RETURN, SDLK_q, SDLK_F4, SDLK_3}) push_key(key);
  push_key(SDLK_3, KMOD_LALT);
  push_key(SDLK_x, KMOD_RALT);
  display_.update(frame_);
  EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  int width = 0, height = 0;
  SDL_GetWindowSize(window(), &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(SdlDisplayTest, AltEnterTogglesFullScreenAndTheCursor) {
  open(false);
  push_key(SDLK_RETURN, KMOD_LALT);
  display_.update(frame_);
  EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  // A held key's repeats do not flip it back.
  push_key(SDLK_RETURN, KMOD_LALT, true);
  display_.update(frame_);
  EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  // Zoom is a window command: nothing in full screen.
  push_key(SDLK_2, KMOD_LALT);
  push_key(SDLK_KP_ENTER, KMOD_RALT);
  display_.update(frame_);
  EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  int width = 0, height = 0;
  SDL_GetWindowSize(window(), &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(SdlDisplayTest, FullScreenDrawsOnlyWhileItHasTheFocus) {
  open(true);
  EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  int w = 0, h = 0;
  const std::vector<Pixel32> before = shown(&w, &h);
  SDL_Rect desktop;
  ASSERT_EQ(SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window()), &desktop), 0);
  EXPECT_EQ(w, desktop.w);
  EXPECT_EQ(h, desktop.h);

  // The dummy driver never gives the focus: frames are handled but not drawn.
  display_.update(frame_);
  EXPECT_EQ(shown(&w, &h), before);

  push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
  display_.update(frame_);
  const std::vector<Pixel32> drawn = shown(&w, &h);
  ASSERT_EQ(drawn.size(), static_cast<std::size_t>(w) * h);
  EXPECT_EQ(drawn.front(), frame_.front());
  EXPECT_EQ(drawn.back(), frame_.back());

  push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
  const std::vector<Pixel32> white(frame_.size(), 0xFFFFFFu);
  display_.update(white);
  EXPECT_EQ(shown(&w, &h), drawn);
}

TEST_F(SdlDisplayTest, UpdateWithoutAWholeFrameDrawsNothing) {
  display_.update(frame_);
  open(false);
  display_.update(std::span<const Pixel32>(frame_).first(frame_.size() - 1));
  // Events are still handled first.
  push_key(SDLK_ESCAPE);
  EXPECT_THROW(display_.update({}), Close);
}

TEST_F(SdlDisplayTest, CloseIsSafeWhenNothingIsOpenAndAfterAFailedOpen) {
  VideoReference video;
  ASSERT_TRUE(video.ok());
  display_.close();
  display_.close();
  EXPECT_FALSE(display_.open(kTitle, 0, 480, false));
  display_.close();

  // SDL's video started, the window impossible: open fails part way and close undoes it.
  SDL_EnableScreenSaver();
  EXPECT_FALSE(display_.open(kTitle, 20000, 480, false));
  EXPECT_EQ(display_.window_id(), 0u);
  display_.close();
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  display_.close();

  // And it opens again afterwards.
  open(false);
  display_.update(frame_);
}

TEST_F(SdlDisplayTest, NoVideoDriverMeansOpenFails) {
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  const bool opened = display_.open(kTitle, kDisplayWidth, kDisplayHeight, false);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  EXPECT_FALSE(opened);
  display_.close();
  EXPECT_EQ(display_.window_id(), 0u);
}

TEST_F(SdlDisplayTest, ScreenSaverIsOffWhileOpenAndOnAfterClose) {
  VideoReference video;
  ASSERT_TRUE(video.ok());
  SDL_EnableScreenSaver();
  open(false);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  display_.close();
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

TEST_F(SdlDisplayTest, ScreenPresentsReachTheWindow) {
  CallLog log;
  testing::FakeMessageBoxes boxes(log);
  Screen screen(kDisplayWidth, kDisplayHeight, display_, boxes);
  screen.open("Morvane", kFrameWidth, kFrameHeight);
  std::vector<Rgb565> frame(kFramePixels);
  for (int i = 0; i < kFramePixels; ++i) frame[i] = static_cast<Rgb565>(i * 31 + 5);
  screen.present_doubled(frame);
  int w = 0, h = 0;
  const std::vector<Pixel32> window_pixels = shown(&w, &h);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const Pixel32 want = y < 40 || y >= 440 ? 0u : to_pixel32(frame[(y - 40) / 2 * kFrameWidth + x / 2]);
      ASSERT_EQ(window_pixels[y * 640 + x], want) << x << "," << y;
    }
  }
  push_key(SDLK_ESCAPE);
  EXPECT_THROW(screen.present_doubled(frame), Close);
  screen.close();
  EXPECT_EQ(display_.window_id(), 0u);
}

}  // namespace
}  // namespace morvane
