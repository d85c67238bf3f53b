#pragma once
// The player's Display: an SDL window (or full-screen desktop window), frames converted to the
// texture's pixel format by the row converters, Escape / window close raise Close, Space
// pauses. Opens only on a real video driver: SDL's dummy and offscreen drivers are taken only
// when SDL_VIDEODRIVER names them.
#include <cstdint>
#include <functional>
#include <memory>

#include "contracts/display.h"

namespace morvane {

class SdlDisplay final : public Display {
 public:
  SdlDisplay();
  ~SdlDisplay() override;
  bool open(const std::string& title, int width, int height, bool fullscreen) override;
  void update(std::span<const Pixel32> pixels) override;
  void close() noexcept override;

  // SDL's id of the open window, 0 when none: lets tests address events and inspect the window.
  std::uint32_t window_id() const;

  // Called with true when Space pauses the show, false when it resumes. While paused, update()
  // does not return (the frame loop stands) but keeps the window redrawn and its keys working.
  void on_pause(std::function<void(bool paused)> listener);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace morvane
