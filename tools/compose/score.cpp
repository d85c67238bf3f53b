#include "tools/compose/score.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "tools/compose/music_theory.h"

namespace morvane::compose {

Score::Score(const std::vector<int>& rows_per_order) {
  patterns_.reserve(rows_per_order.size());
  for (int rows : rows_per_order) patterns_.emplace_back(rows, kChannelCount);
}

void Score::note(int order, int row, Channel channel, Voice voice, int n, double velocity) {
  if (n < 1 || n > 96) throw std::out_of_range("note " + std::to_string(n) + " outside the module's range");
  xm::Cell& cell = pattern(order).at(row, channel);
  cell.note = static_cast<std::uint8_t>(n);
  cell.instrument = instrument_number(voice);
  const double v = std::clamp(velocity, 0.0, 1.0) * mix_level(voice);
  cell.volume = xm::volume_column(static_cast<int>(std::lround(v)));
}

void Score::key_off(int order, int row, Channel channel) {
  pattern(order).at(row, channel) = xm::Cell{xm::kNoteOff, 0, 0, 0, 0};
}

void Score::effect(int order, int row, Channel channel, std::uint8_t effect, std::uint8_t param) {
  xm::Cell& cell = pattern(order).at(row, channel);
  cell.effect = effect;
  cell.param = param;
}

bool Score::free(int order, int row, Channel channel) const {
  return patterns_.at(static_cast<std::size_t>(order)).at(row, channel).empty();
}

std::vector<PhraseStep> parse_phrase(std::string_view text) {
  std::vector<PhraseStep> steps;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '|') {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] != ' ' && text[end] != '|') ++end;
    const std::string_view token = text.substr(i, end - i);
    if (token == "-") {
      steps.push_back({0});
    } else if (token == "^") {
      steps.push_back({xm::kNoteOff});
    } else {
      steps.push_back({parse_note(token)});
    }
    i = end;
  }
  return steps;
}

}  // namespace morvane::compose
