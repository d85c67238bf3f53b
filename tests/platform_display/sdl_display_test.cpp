// The SDL display on SDL's dummy video driver: a real window, renderer and texture without a
// screen; input arrives as events pushed into SDL's queue.
#include "platform/sdl_display.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "contracts/close.h"

namespace morvane {
namespace {

constexpr const char* kTitle = "Quillfen - Morvane(win32)";

class SdlDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }
  void SetUp() override {
    frame_.resize(kDisplayWidth * kDisplayHeight);
    for (std::size_t i = 0; i < frame_.size(); ++i) frame_[i] = (static_cast<Pixel32>(i) * 2654435761u) & 0xFFFFFFu;
  }
  void TearDown() override { display_.close(); }

  void open(bool fullscreen) { ASSERT_TRUE(display_.open(kTitle, kDisplayWidth, kDisplayHeight, fullscreen)); }
  SDL_Window* window() const { return SDL_GetWindowFromID(display_.window_id()); }
  bool is_fullscreen() const { return (SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP; }
  SDL_Rect bounds() const {
    SDL_Rect r{};
    SDL_GetWindowPosition(window(), &r.x, &r.y);
    SDL_GetWindowSize(window(), &r.w, &r.h);
    return r;
  }
  SDL_Rect desktop() const {
    SDL_Rect r{};
    EXPECT_EQ(SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window()), &r), 0);
    return r;
  }
  void push(SDL_Event e) {
    e.key.windowID = display_.window_id();  // the same field for window events
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  void push_key(SDL_Keycode key, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    push(e);
  }
  void push_window_event(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    push(e);
  }
  // What the window shows, as 0x00RRGGBB, and its size.
  std::vector<Pixel32> shown(int* width, int* height) {
    SDL_Renderer* renderer = SDL_GetRenderer(window());
    if (!renderer || SDL_GetRendererOutputSize(renderer, width, height) != 0) return {};
    std::vector<Pixel32> pixels(static_cast<std::size_t>(*width) * *height);
    EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), *width * 4), 0);
    for (auto& p : pixels) p &= 0xFFFFFFu;
    return pixels;
  }

  SdlDisplay display_;
  std::vector<Pixel32> frame_;
};

TEST_F(SdlDisplayTest, OpensACentredWindowShowingTheFrameExactly) {
  open(false);
  EXPECT_STREQ(SDL_GetWindowTitle(window()), kTitle);
  const SDL_Rect b = bounds(), d = desktop();
  EXPECT_EQ((std::array{b.x, b.y, b.w, b.h}), (std::array{d.x + (d.w - 640) / 2, d.y + (d.h - 480) / 2, 640, 480}));
  EXPECT_FALSE(is_fullscreen());
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  display_.update(frame_);
  int w = 0, h = 0;
  EXPECT_EQ(shown(&w, &h), frame_);
}

TEST_F(SdlDisplayTest, AltDigitsZoomAndRecentreOtherKeysDoNothing) {
  open(false);
  for (auto [key, factor] : {std::pair{SDLK_2, 2}, std::pair{SDLK_4, 4}, std::pair{SDLK_1, 1}}) {
    push_key(key, KMOD_LALT);
    display_.update(frame_);
    const SDL_Rect b = bounds(), d = desktop();
    EXPECT_EQ((std::array{b.x, b.y, b.w, b.h}), (std::array{d.x + (d.w - 640 * factor) / 2, d.y + (d.h - 480 * factor) / 2, 640 * factor, 480 * factor}));
  }
  for (SDL_Keycode key : {SDLK_a, SDLK_RETURN, SDLK_q, SDLK_F4, SDLK_2}) push_key(key);
  push_key(SDLK_3, KMOD_LALT);
  push_key(SDLK_x, KMOD_RALT);
  display_.update(frame_);
  EXPECT_FALSE(is_fullscreen());
  EXPECT_EQ(bounds().w, 640);
}

TEST_F(SdlDisplayTest, EscapeWindowCloseAndQuitRaiseCloseEvenWithoutAWholeFrame) {
  // A fresh window per case: after a throw SDL keeps the rest of that poll cycle queued.
  for (int which = 0; which < 3; ++which) {
    open(false);
    display_.update(std::span<const Pixel32>(frame_).first(frame_.size() - 1));  // draws nothing
    if (which == 0) push_key(SDLK_ESCAPE);
    if (which == 1) push_window_event(SDL_WINDOWEVENT_CLOSE);
    if (which == 2) push(SDL_Event{.type = SDL_QUIT});
    EXPECT_THROW(display_.update({}), Close) << which;
    display_.close();
  }
}

TEST_F(SdlDisplayTest, AltEnterTogglesFullScreenAndTheCursor) {
  open(false);
  push_key(SDLK_RETURN, KMOD_LALT);
  push_key(SDLK_RETURN, KMOD_LALT, true);  // a held key's repeats do not flip it back
  display_.update(frame_);
  EXPECT_TRUE(is_fullscreen());
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  push_key(SDLK_2, KMOD_LALT);  // zoom is a window command: nothing in full screen
  push_key(SDLK_KP_ENTER, KMOD_RALT);
  display_.update(frame_);
  EXPECT_FALSE(is_fullscreen());
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_EQ(bounds().w, 640);
}

TEST_F(SdlDisplayTest, FailedOpensLeaveNothingOpenAndTheScreenSaverAsItWas) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);  // keeps video up across close, to look at it
  display_.close();
  EXPECT_FALSE(display_.open(kTitle, 0, 480, false));
  display_.close();
  SDL_EnableScreenSaver();
  EXPECT_FALSE(display_.open(kTitle, 20000, 480, false));  // video started, the window impossible
  EXPECT_EQ(display_.window_id(), 0u);
  display_.close();
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  open(false);  // and it opens again afterwards
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  display_.close();
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  SDL_QuitSubSystem(SDL_INIT_VIDEO);

  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  const bool opened = display_.open(kTitle, kDisplayWidth, kDisplayHeight, false);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  EXPECT_FALSE(opened);
  EXPECT_EQ(display_.window_id(), 0u);
}

}  // namespace
}  // namespace morvane
