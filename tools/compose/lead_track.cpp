// The lead sings the themes; a second channel repeats it a dotted eighth later, softer and on
// the other side (a tape echo). In the climax the bell doubles it an octave up.
#include "tools/compose/themes.h"
#include "tools/compose/tracks.h"

namespace morvane::compose {
namespace {

constexpr int kEchoDelay = 3;  // rows
constexpr double kEchoLevel = 0.42;
constexpr std::uint8_t kLeadPan = 0x70;
constexpr std::uint8_t kEchoPan = 0xC8;

double lead_velocity(Section section) {
  switch (section) {
    case Section::kClimax: return 1.0;
    case Section::kReveal:
    case Section::kFinale: return 0.95;
    case Section::kFlight: return 0.9;
    default: return 0.85;
  }
}

void place(Score& s, int order, int row, Channel channel, int note, double velocity, std::uint8_t pan) {
  if (note == xm::kNoteOff) {
    s.key_off(order, row, channel);
    return;
  }
  s.note(order, row, channel, Voice::kLead, note, velocity);
  s.effect(order, row, channel, xm::kEffectSetPan, pan);
}

void sing(Score& s, int order, const OrderPlan& plan) {
  const auto& bars = theme_bars(plan.lead);
  const double velocity = lead_velocity(plan.section);
  for (const Bar& bar : bars_of(order)) {
    const auto steps = parse_phrase(bars.at(static_cast<std::size_t>(plan.lead_bar + bar.index) % bars.size()));
    for (int i = 0; i < bar.rows && i < static_cast<int>(steps.size()); ++i) {
      const int note = steps[static_cast<std::size_t>(i)].note;
      if (note == 0) continue;
      const int row = bar.first_row + i;
      place(s, order, row, kChLead, note, velocity, kLeadPan);
      int echo_order = order, echo_row = row;
      if (advance(s, echo_order, echo_row, kEchoDelay)) {
        place(s, echo_order, echo_row, kChEcho, note, velocity * kEchoLevel, kEchoPan);
      }
      if (plan.section == Section::kClimax && note != xm::kNoteOff && note + 12 <= 96) {
        s.note(order, row, kChBell, Voice::kBell, note + 12, 0.5);
      }
    }
  }
}

}  // namespace

void write_lead(Score& score) {
  const auto& plan = song_plan();
  for (int order = 0; order < score.orders(); ++order) {
    const OrderPlan& p = plan[static_cast<std::size_t>(order)];
    if (p.lead == Theme::kNone) continue;
    sing(score, order, p);
    // A theme that stops at the end of an order is released with it.
    const int next = order + 1;
    if (next < score.orders() && plan[static_cast<std::size_t>(next)].lead == Theme::kNone) {
      if (score.free(next, 0, kChLead)) score.key_off(next, 0, kChLead);
      if (score.free(next, kEchoDelay, kChEcho)) score.key_off(next, kEchoDelay, kChEcho);
    }
  }
}

}  // namespace morvane::compose
