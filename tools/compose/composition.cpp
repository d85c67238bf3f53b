#include "tools/compose/composition.h"

#include <algorithm>

#include "tools/compose/instruments.h"
#include "tools/compose/score.h"
#include "tools/compose/show_cues.h"
#include "tools/compose/song_plan.h"
#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

xm::Module module_frame(int speed, int bpm, std::vector<xm::Pattern> patterns) {
  xm::Module m;
  m.title = kTitle;
  m.channels = kChannelCount;
  m.speed = speed;
  m.bpm = bpm;
  m.linear_frequencies = true;
  for (std::size_t i = 0; i < patterns.size(); ++i) m.orders.push_back(static_cast<std::uint8_t>(i));
  m.patterns = std::move(patterns);
  return m;
}

}  // namespace

xm::Module compose_module() {
  std::vector<int> rows;
  for (const auto& p : song_plan()) rows.push_back(p.rows);
  Score score(rows);
  write_drums(score);
  write_bass(score);
  write_pads(score);
  write_arps_and_bells(score);
  write_stabs(score);
  write_lead(score);  // after the bells: in the climax the bell doubles the lead
  write_effects(score);
  write_cue_channel(score, show_cues());
  xm::Module m = module_frame(kSpeed, kBpm, score.patterns());
  m.instruments = make_instruments();
  return m;
}

xm::Module compose_short_module() {
  std::vector<int> rows;
  for (int order = 0; order < order_count(); ++order) {
    rows.push_back(std::max<int>(1, 2 * static_cast<int>(cues_in(order).size())));
  }
  Score score(rows);
  std::vector<Cue> cues;
  for (int order = 0; order < order_count(); ++order) {
    int row = 0;
    for (Cue c : cues_in(order)) {
      c.row = row;
      cues.push_back(c);
      row += 2;
    }
  }
  write_cue_channel(score, cues);
  return module_frame(kShortSpeed, kShortBpm, score.patterns());
}

}  // namespace morvane::compose
