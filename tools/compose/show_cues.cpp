#include "tools/compose/show_cues.h"

#include <algorithm>

namespace morvane::compose {
namespace {

std::vector<Cue> build_cues() {
  std::vector<Cue> cues;
  auto add = [&](int order, int row, std::uint8_t value) { cues.push_back({order, row, value}); };

  // First scene: clear the glow, a bar on each beat of the count-in, the full bar on the
  // downbeat of the lift; then flashes with gaps that let the point cloud through.
  add(3, 0, cue::kClearGlow);
  for (int i = 0; i < 8; ++i) add(3, 16 + 4 * i, static_cast<std::uint8_t>(cue::kFirstBar + i));
  add(4, 0, cue::kFullBar);
  for (int order = 8; order <= 10; ++order)
    for (int row : {0, 6, 12}) add(order, row, cue::kRepeatBar);
  for (int row : {16, 20, 24, 28}) add(10, row, cue::kRepeatBar);

  // The title appears six seconds before the light map.
  add(15, 0, cue::kReveal);

  // Light map, phase 1: toggles on bar lines.
  add(16, 16, cue::kToggleWideWarp);
  add(17, 0, cue::kToggleFeedback);
  add(17, 16, cue::kToggleFrame);
  add(18, 16, cue::kToggleFeedback);
  add(19, 0, cue::kToggleWideWarp);
  add(19, 16, cue::kToggleFeedback);
  // Phase 2: the shake, then the flash that lifts the logo (two seconds before order 24).
  add(22, 0, cue::kShake);
  add(23, 16, cue::kFlashAndRise);

  // Ten pictures: one per beat.
  for (int order = kOrderFlashes; order < kOrderTunnel; ++order)
    for (int row = 0; row < 32; row += 4) add(order, row, cue::kNextPicture);

  // Finale: mode changes on bar lines, plain beats between. Orders 36..39 beat on 1 and 3,
  // 40..43 on every beat (48 beats before order 44), 44..51 on 1 and 3 (32 more: the bars
  // close after 20 of them, and the 80 beats stay below the 93 that scroll).
  struct ModeChange {
    int order, row;
    std::uint8_t value;
  };
  static constexpr ModeChange modes[] = {
      {36, 0, 240}, {36, 16, 177}, {37, 0, 161}, {38, 0, 241}, {38, 16, 178}, {39, 0, 162},
      {40, 0, 242}, {40, 16, 176}, {41, 0, 160}, {42, 0, 240}, {42, 16, 179}, {43, 0, 161},
      {44, 0, 244}, {44, 16, 177}, {45, 0, 162}, {46, 0, 241}, {46, 16, 178}, {47, 0, 160},
      {48, 0, 242}, {48, 16, 179}, {49, 0, 161}, {50, 0, 240}, {50, 16, 177}, {51, 0, 162},
  };
  for (int order = kOrderFinale; order < kOrderLineCloses; ++order) {
    const int step = order >= 40 && order < kOrderBarsClose ? 4 : 8;
    for (int row = 0; row < 32; row += step) {
      std::uint8_t value = cue::kBeat;
      for (const auto& m : modes)
        if (m.order == order && m.row == row) value = m.value;
      add(order, row, value);
    }
  }
  // The last chord rings for four and a half seconds, then the show ends.
  add(kOrderLineCloses, 36, cue::kEnd);

  std::stable_sort(cues.begin(), cues.end(),
                   [](const Cue& a, const Cue& b) { return a.order != b.order ? a.order < b.order : a.row < b.row; });
  return cues;
}

}  // namespace

const std::vector<Cue>& show_cues() {
  static const std::vector<Cue> cues = build_cues();
  return cues;
}

std::vector<Cue> cues_in(int order) {
  std::vector<Cue> out;
  for (const Cue& c : show_cues())
    if (c.order == order) out.push_back(c);
  return out;
}

}  // namespace morvane::compose
