#pragma once
// The window/device layer below the Screen. One implementation shows frames in a real window
// (platform/), others write files (capture) or record calls (tests).
#include <span>
#include <string>

#include "contracts/pixel.h"

namespace morvane {

class Display {
 public:
  virtual ~Display() = default;
  // Never throws; on failure returns false and leaves what it made for close().
  virtual bool open(const std::string& title, int width, int height, bool fullscreen) = 0;
  // Handles pending window events first (may throw Close), then shows width x height pixels.
  // A frame that cannot be drawn (closed, inactive, too small) is dropped.
  virtual void update(std::span<const Pixel32> pixels) = 0;
  // Releases everything; safe after a failed or partial open and when nothing is open.
  virtual void close() noexcept = 0;
};

}  // namespace morvane
