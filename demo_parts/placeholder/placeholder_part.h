#pragma once
// A scene that is not built yet: keeps the show's timing (its end conditions) and shows a
// slow colour wash so that the hand-over points can be seen.
#include <vector>

#include "main/demo_part.h"

namespace morvane {

struct PhaseEnd {
  enum Kind { kOrderAtLeast, kEvent } kind;
  int value;
};

class PlaceholderPart final : public DemoPart {
 public:
  PlaceholderPart(int playing_position, std::vector<PhaseEnd> phases);
  void run(Screen& screen, Music& music, std::span<Rgb565> frame) override;

 protected:
  void load_assets(const Archive&) override {}
  void release() noexcept override {}

 private:
  int position_;
  std::vector<PhaseEnd> phases_;
};

}  // namespace morvane
