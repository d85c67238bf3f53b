#include "platform/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <span>
#include <string_view>
#include <utility>

#include "contracts/close.h"
#include "platform/frame_fit.h"
#include "platform/sdl_pixel_formats.h"
#include "platform/x11_window_manager.h"
#include "screen/row_converters.h"

namespace morvane {
namespace {

// Used when the display does not say its refresh rate.
constexpr int kDefaultRefreshHz = 60;
// How long a paused window waits for an event before it redraws anyway.
constexpr int kPausedWaitMs = 20;

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return SDL_tolower(x) == SDL_tolower(y); });
}

// SDL falls back to drivers that show nothing when no display can be reached; such a run would
// play the whole show unseen. They count only when SDL_VIDEODRIVER (a comma list) names them.
bool shows_a_window(std::string_view driver, const char* requested) {
  if (!same_name(driver, "dummy") && !same_name(driver, "offscreen")) return true;
  std::string_view list = requested ? requested : "";
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    if (same_name(list.substr(0, comma), driver)) return true;
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
  }
  return false;
}

}  // namespace

struct SdlDisplay::Impl {
  bool video_started = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  RowConverter converter = nullptr;
  int width = 0;
  int height = 0;
  bool fullscreen = false;
  // Whether the window has the input focus; a full-screen window without it draws nothing.
  bool active = false;
  // Where the window goes when it leaves full screen: centred at the frame size until the
  // user has placed it.
  SDL_Rect windowed{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 0, 0};
  // Shortest time between two presents, in performance-counter ticks (see pace()).
  Uint64 frame_floor = 0;
  Uint64 last_present = 0;
  bool paused = false;
  std::function<void(bool)> pause_listener;
  // Full screen made by hand (a borderless window over the display): no window manager would
  // answer SDL's request.
  bool manual_fullscreen = false;

  bool open(const std::string& title, int frame_width, int frame_height, bool full);
  void close() noexcept;
  void handle(const SDL_Event& event);
  void show_as_fullscreen(bool full);
  void zoom(int factor);
  void measure_refresh();
  void pace();
  void draw();
  void set_paused(bool pause);
};

bool SdlDisplay::Impl::open(const std::string& title, int frame_width, int frame_height, bool full) {
  if (frame_width <= 0 || frame_height <= 0) return false;
  width = frame_width;
  height = frame_height;
  fullscreen = full;
  windowed = {SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height};

  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  video_started = true;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || !shows_a_window(driver, SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
    SDL_SetError("no video driver can show a window here (SDL fell back to '%s'; no display?)", driver ? driver : "");
    return false;
  }

  const Uint32 mode = full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                            SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | mode);
  if (!window) return false;

  // Presenting in step with the display keeps the frame loop from spinning; a renderer that
  // cannot is still better than none.
  renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) return false;

  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
  const std::size_t listed = std::min<std::size_t>(info.num_texture_formats, std::size(info.texture_formats));
  const std::uint32_t wanted = choose_texture_format(std::span<const std::uint32_t>(info.texture_formats, listed));
  texture = SDL_CreateTexture(renderer, wanted, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!texture) return false;

  // The frame is converted into whatever format the texture really has.
  Uint32 format = 0;
  if (SDL_QueryTexture(texture, &format, nullptr, nullptr, nullptr) != 0) return false;
  converter = converter_for_sdl_format(format);
  if (!converter) return false;

  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);

  active = (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
  SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
  measure_refresh();
  SDL_DisableScreenSaver();
  return true;
}

void SdlDisplay::Impl::close() noexcept {
  if (texture) SDL_DestroyTexture(texture);
  texture = nullptr;
  if (renderer) SDL_DestroyRenderer(renderer);
  renderer = nullptr;
  if (window) SDL_DestroyWindow(window);
  window = nullptr;
  if (video_started) {
    SDL_ShowCursor(SDL_ENABLE);
    SDL_EnableScreenSaver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_started = false;
  }
  converter = nullptr;
  fullscreen = false;
  active = false;
  last_present = 0;
  paused = false;
  manual_fullscreen = false;
}

void SdlDisplay::Impl::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      throw Close();
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          throw Close();
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          active = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          active = false;
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN: {
      const SDL_Keycode key = event.key.keysym.sym;
      if (key == SDLK_ESCAPE) throw Close();
      if (key == SDLK_SPACE && !event.key.repeat && (event.key.keysym.mod & (KMOD_ALT | KMOD_CTRL)) == 0) {
        set_paused(!paused);
        break;
      }
      // The window commands; a held key repeating must not flip full screen back and forth.
      if ((event.key.keysym.mod & KMOD_ALT) == 0 || event.key.repeat) break;
      if (key == SDLK_RETURN || key == SDLK_KP_ENTER) show_as_fullscreen(!fullscreen);
      if (key == SDLK_1) zoom(1);
      if (key == SDLK_2) zoom(2);
      if (key == SDLK_4) zoom(4);
      break;
    }
    default:
      break;
  }
}

void SdlDisplay::Impl::show_as_fullscreen(bool full) {
  if (full) {
    SDL_GetWindowPosition(window, &windowed.x, &windowed.y);
    SDL_GetWindowSize(window, &windowed.w, &windowed.h);
  }
  if (full && lacks_window_manager(window)) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &bounds) != 0) return;
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    SDL_RaiseWindow(window);
    manual_fullscreen = true;
  } else if (!full && manual_fullscreen) {
    SDL_SetWindowBordered(window, SDL_TRUE);
    manual_fullscreen = false;
  } else if (SDL_SetWindowFullscreen(window, full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return;
  }
  // Not every video driver puts the window back where it was; say it explicitly.
  if (!full) {
    SDL_SetWindowSize(window, windowed.w, windowed.h);
    SDL_SetWindowPosition(window, windowed.x, windowed.y);
  }
  fullscreen = full;
  SDL_ShowCursor(fullscreen ? SDL_DISABLE : SDL_ENABLE);
  measure_refresh();
}

// Client area of factor x the frame size, centred on the screen. Windowed only.
void SdlDisplay::Impl::zoom(int factor) {
  if (fullscreen) return;
  if (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window);
  SDL_SetWindowSize(window, factor * width, factor * height);
  SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlDisplay::Impl::measure_refresh() {
  SDL_DisplayMode mode{};
  const int index = SDL_GetWindowDisplayIndex(window);
  int hz = kDefaultRefreshHz;
  if (index >= 0 && SDL_GetDesktopDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) hz = mode.refresh_rate;
  // A little under one refresh period: never in the way of a present that waits for the
  // display itself, but a present that returns at once (no vsync) no longer spins the CPU.
  frame_floor = SDL_GetPerformanceFrequency() * 9 / (10 * static_cast<Uint64>(hz));
}

void SdlDisplay::Impl::pace() {
  const Uint64 now = SDL_GetPerformanceCounter();
  if (last_present != 0 && now - last_present < frame_floor) {
    const Uint64 rest_ms = (frame_floor - (now - last_present)) * 1000 / SDL_GetPerformanceFrequency();
    if (rest_ms > 0) SDL_Delay(static_cast<Uint32>(rest_ms));
  }
  last_present = SDL_GetPerformanceCounter();
}

void SdlDisplay::Impl::set_paused(bool pause) {
  paused = pause;
  if (pause_listener) pause_listener(pause);
}

// The texture as it is, fitted into the output with black around it.
void SdlDisplay::Impl::draw() {
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(renderer, &output_width, &output_height) != 0) output_width = output_height = 0;
  const FrameRect fit = fit_frame(output_width, output_height, width, height);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  if (fit.width > 0 && fit.height > 0) {
    const SDL_Rect target{fit.x, fit.y, fit.width, fit.height};
    SDL_RenderCopy(renderer, texture, nullptr, &target);
  }
  SDL_RenderPresent(renderer);
  pace();
}

SdlDisplay::SdlDisplay() : impl_(std::make_unique<Impl>()) {}

SdlDisplay::~SdlDisplay() { close(); }

bool SdlDisplay::open(const std::string& title, int width, int height, bool fullscreen) {
  impl_->close();
  SDL_ClearError();
  if (impl_->open(title, width, height, fullscreen)) return true;
  // The caller only learns that it failed; SDL's reason helps whoever runs it from a terminal.
  if (*SDL_GetError() != '\0') std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
  return false;
}

void SdlDisplay::update(std::span<const Pixel32> pixels) {
  Impl& d = *impl_;
  if (!d.window || !d.texture) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) d.handle(event);

  const bool whole = pixels.size() >= static_cast<std::size_t>(d.width) * static_cast<std::size_t>(d.height);
  void* surface = nullptr;
  int pitch = 0;
  if (d.fullscreen && !d.active) {
    SDL_Delay(1);
  } else if (whole && SDL_LockTexture(d.texture, nullptr, &surface, &pitch) == 0) {
    auto* row = static_cast<unsigned char*>(surface);
    for (int y = 0; y < d.height; ++y, row += pitch) {
      d.converter(pixels.data() + static_cast<std::size_t>(y) * d.width, row, d.width);
    }
    SDL_UnlockTexture(d.texture);
    d.draw();
  }

  // Paused: the frame loop waits here, the window keeps answering and showing this frame.
  while (d.paused && d.window) {
    if (SDL_WaitEventTimeout(&event, kPausedWaitMs)) {
      d.handle(event);
      while (SDL_PollEvent(&event)) d.handle(event);
    }
    if (!d.fullscreen || d.active) d.draw();
  }
}

void SdlDisplay::close() noexcept { impl_->close(); }

void SdlDisplay::on_pause(std::function<void(bool)> listener) { impl_->pause_listener = std::move(listener); }

std::uint32_t SdlDisplay::window_id() const { return impl_->window ? SDL_GetWindowID(impl_->window) : 0; }

}  // namespace morvane
