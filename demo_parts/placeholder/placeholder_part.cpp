#include "demo_parts/placeholder/placeholder_part.h"

#include <algorithm>

#include "demo_parts/part_clock.h"
#include "main/song_event.h"
#include "screen/screen.h"

namespace morvane {

PlaceholderPart::PlaceholderPart(int playing_position, std::vector<PhaseEnd> phases)
    : position_(playing_position), phases_(std::move(phases)) {}

void PlaceholderPart::run(Screen& screen, Music& music, std::span<Rgb565> frame) {
  PartClock clock(music);
  for (const PhaseEnd& end : phases_) {
    for (;;) {
      clock.next_frame();
      const auto event = song_event().take();
      const bool event_ends = end.kind == PhaseEnd::kEvent && event && *event == end.value;
      // The last scene ends at its closing command without drawing; others draw that frame.
      if (event_ends && position_ == 7) break;
      const int phase = static_cast<int>(clock.t()) + position_ * 40;
      const auto wash = static_cast<Rgb565>(((phase / 8) & 0x1F) << (position_ % 3 == 0 ? 0 : 11));
      std::fill(frame.begin(), frame.end(), wash);
      screen.present_doubled(frame);
      if (event_ends || (end.kind == PhaseEnd::kOrderAtLeast && clock.order() >= end.value)) break;
    }
  }
}

}  // namespace morvane
