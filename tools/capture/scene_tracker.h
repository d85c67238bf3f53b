#pragma once
// Wraps each scene so the capture knows which one is presenting.
#include <memory>

#include "core/demo_part.h"

namespace morvane::capture {

class SceneTracker {
 public:
  int current() const { return current_; }
  // A part that behaves like inner and marks its playing position as current while it runs.
  std::unique_ptr<DemoPart> wrap(int playing_position, std::unique_ptr<DemoPart> inner);

 private:
  int current_ = 0;
  friend class TrackedPart;
};

}  // namespace morvane::capture
