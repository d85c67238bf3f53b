#include "tests/demo_parts/scene_harness.h"

#include <algorithm>
#include <stdexcept>

#include "core/song_event.h"
#include "contracts/close.h"

namespace morvane::testing {
namespace {
constexpr int kSpareFrames = 20;
}

void MemoryPictures::load_picture(std::string_view name, std::span<std::uint8_t> pixels,
                                  std::span<std::uint8_t> palette) const {
  requests.push_back({std::string(name), pixels.size(), !palette.empty()});
  const auto found = pictures.find(name);
  if (found == pictures.end()) {
    throw std::runtime_error("Could not load the file '" + std::string(name) + "' from memory");
  }
  const auto& source = found->second.pixels;
  for (std::size_t i = 0; i < pixels.size() && !source.empty(); ++i) pixels[i] = source[i % source.size()];
  if (!palette.empty() && !found->second.palette.empty()) {
    std::copy_n(found->second.palette.begin(), std::min(palette.size(), found->second.palette.size()), palette.begin());
  }
}

std::vector<std::uint8_t> uniform(std::size_t size, std::uint8_t value) { return std::vector<std::uint8_t>(size, value); }

std::vector<std::uint8_t> palette_of(std::initializer_list<std::array<std::uint8_t, 3>> colours) {
  std::vector<std::uint8_t> palette(768, 0);
  std::size_t at = 0;
  for (const auto& colour : colours) {
    std::copy(colour.begin(), colour.end(), palette.begin() + static_cast<std::ptrdiff_t>(at));
    at += 3;
  }
  return palette;
}

SongHarness::SongHarness() {
  song_event().reset();
  screen_.open("Morvane", kFrameWidth, kFrameHeight);
  // Frame f asks for the order first: that is where its command arrives.
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

bool SongHarness::play(DemoPart& part, std::vector<SongStep> script, int entry_ms) {
  if (script.empty()) throw std::invalid_argument("empty song script");
  script_ = std::move(script);
  entry_ms_ = entry_ms;
  sound_.order_queries = 0;
  sound_.time_queries = 0;
  presented.clear();
  shown.clear();
  try {
    part.run(screen_, music_, frame);
  } catch (const Close&) {
    return false;
  }
  return true;
}

void SongHarness::RecordingDisplay::update(std::span<const Pixel32> pixels) {
  harness_.presented.push_back(harness_.frame);
  const bool direct = harness_.screen_.width() == kDisplayWidth;
  harness_.shown.push_back(direct ? Presented{true, {}, {pixels.begin(), pixels.end()}} : Presented{false, harness_.frame, {}});
  if (harness_.presented.size() > harness_.script_.size() + kSpareFrames) throw Close();
}

}  // namespace morvane::testing
