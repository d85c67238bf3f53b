#pragma once
// The window/device layer below the Screen. One implementation shows frames in a real window
// (platform/), others write files (capture) or record calls (tests).
#include <span>
#include <string>

#include "screen/pixel.h"

namespace morvane {

class Display {
 public:
  virtual ~Display() = default;
  // Never throws; on failure returns false and leaves what it made for close().
  virtual bool open(const std::string& title, int width, int height, bool fullscreen) = 0;
  // Handles pending window events first (may throw Close), then shows width x height pixels.
  // Returns 1 when the frame was handled, 0 when it could not be drawn.
  virtual int update(std::span<const Pixel32> pixels) = 0;
  // Releases everything; safe after a failed or partial open and when nothing is open.
  virtual void close() noexcept = 0;
};

}  // namespace morvane
