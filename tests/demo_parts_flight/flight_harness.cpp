#include "tests/demo_parts_flight/flight_harness.h"

#include <algorithm>
#include <stdexcept>

#include "main/song_event.h"
#include "screen/close.h"

namespace morvane::testing {
namespace {
constexpr std::size_t kSpareFrames = 20;
}

FlightHarness::FlightHarness() {
  song_event().reset();
  screen_.open("Morvane", kFrameWidth, kFrameHeight);
  // A frame's command arrives with its order query.
  sound_.order_at = [this](int query) {
    const std::size_t last = script_.size() - 1;
    const auto step = std::min(static_cast<std::size_t>(query), last);
    if (static_cast<std::size_t>(query) <= last && script_[step].event) song_event().raise(*script_[step].event);
    return script_[step].order;
  };
  sound_.ms_at = [this](int query) {
    if (query == 0) return entry_ms_;
    return script_[std::min(static_cast<std::size_t>(query - 1), script_.size() - 1)].ms;
  };
}

bool FlightHarness::play(DemoPart& part, std::vector<SongStep> script, int entry_ms) {
  if (script.empty()) throw std::invalid_argument("empty song script");
  script_ = std::move(script);
  entry_ms_ = entry_ms;
  sound_.order_queries = 0;
  sound_.time_queries = 0;
  presented.clear();
  try {
    part.run(screen_, music_, frame);
  } catch (const Close&) {
    return false;
  }
  return true;
}

int FlightHarness::RecordingDisplay::update(std::span<const Pixel32> pixels) {
  const bool direct = harness_.screen_.width() == kDisplayWidth;
  Presented shown{direct, {}, {}};
  if (direct) {
    shown.pixels.assign(pixels.begin(), pixels.end());
  } else {
    shown.frame = harness_.frame;
  }
  harness_.presented.push_back(std::move(shown));
  if (harness_.presented.size() > harness_.script_.size() + kSpareFrames) throw Close();
  return 1;
}

}  // namespace morvane::testing
