// The show's modules: the cues in playing order as our own model and the player's Z scanner see
// them, libopenmpt's clock against ours, and the timings the scenes need.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <array>
#include <libopenmpt/libopenmpt.hpp>
#include <set>

#include "platform/xm_z_scanner.h"
#include "tools/compose/composition.h"
#include "tools/compose/module_timing.h"
#include "tools/compose/score.h"
#include "tools/compose/show_cues.h"
#include "tools/compose/xm_writer.h"

namespace morvane::compose {
namespace {

struct Built {
  xm::Module module;
  std::vector<std::uint8_t> bytes;
};

const Built& full() {
  static const Built b{compose_module(), xm::write_module(compose_module())};
  return b;
}
const Built& short_one() {
  static const Built b{compose_short_module(), xm::write_module(compose_short_module())};
  return b;
}

std::vector<int> cue_values() {
  std::vector<int> v;
  for (const Cue& c : show_cues()) v.push_back(c.value);
  return v;
}
double at(const Cue& c) { return position_seconds(full().module, c.order, c.row); }
double order_start(int order) { return order_starts(full().module).at(static_cast<std::size_t>(order)); }
std::vector<Cue> cues_between(int first_order, int last_order) {
  std::vector<Cue> out;
  for (const Cue& c : show_cues())
    if (c.order >= first_order && c.order <= last_order) out.push_back(c);
  return out;
}

TEST(ShowModule, BothVariantsCarryTheCuesInPlayingOrderAsTheModelThePlayerAndLibopenmptSeeThem) {
  const auto events = z_events(full().module);
  ASSERT_EQ(events.size(), show_cues().size());
  for (std::size_t i = 0; i < events.size(); ++i)
    EXPECT_EQ((std::array{events[i].order, events[i].row}), (std::array{show_cues()[i].order, show_cues()[i].row})) << i;
  for (const Built* b : {&full(), &short_one()}) {
    std::vector<int> model, scanner;
    for (const auto& e : z_events(b->module)) model.push_back(e.value);
    for (const auto& p : b->module.patterns)
      for (int r = 0; r < p.rows(); ++r)
        for (int c = 0; c < p.channels(); ++c)  // the cue channel holds Z and nothing else
          EXPECT_EQ(p.at(r, c).effect == xm::kEffectZ, c == kChCue && !p.at(r, c).empty()) << "row " << r << " channel " << c;
    const XmScan scan = scan_xm_z(b->bytes);
    ASSERT_TRUE(scan.ok()) << scan.problem;
    for (std::uint8_t pattern : scan.orders)
      for (int row = 0; row < scan.pattern_rows.at(pattern); ++row)
        for (const XmZCell& z : z_cells_in_row(scan.z_cells, pattern, row)) scanner.push_back(z.parameter);
    EXPECT_EQ(model, cue_values());
    EXPECT_EQ(scanner, cue_values());
    // libopenmpt's clock agrees with ours, order by order. (It counts whole samples per tick:
    // at BPM 255 its ticks run 0.13% short.)
    openmpt::module mod(b->bytes.data(), b->bytes.size());
    EXPECT_EQ(mod.get_metadata("tracker"), "FastTracker 2 or compatible");
    const auto starts = order_starts(b->module);
    auto near = [](double a, double b) { return std::abs(a - b) <= 1e-3 + 0.002 * b; };
    EXPECT_PRED2(near, mod.get_duration_seconds(), starts.back());
    for (int o = 0; o < mod.get_num_orders(); o += 4) EXPECT_PRED2(near, mod.set_position_order_row(o, 0), starts[static_cast<std::size_t>(o)]) << o;
  }
}

std::vector<int> values_between(int first_order, int last_order) {
  std::vector<int> out;
  for (const Cue& c : cues_between(first_order, last_order)) out.push_back(c.value);
  return out;
}

TEST(ShowModule, LengthsAndWhatTheOpeningFlightAndLightMapScenesWaitFor) {
  EXPECT_GE(order_starts(full().module).back(), 180.0);
  EXPECT_LE(order_starts(full().module).back(), 300.0);
  // Short variant: one or two rows per cue, cues at least two rows (78 ms) apart.
  const auto& s = short_one().module;
  EXPECT_LT(order_starts(s).back(), 30.0);
  for (int o = 0; o < static_cast<int>(s.orders.size()); ++o)
    EXPECT_EQ(s.patterns[s.orders[static_cast<std::size_t>(o)]].rows(), std::max<int>(1, 2 * cues_between(o, o).size())) << o;
  EXPECT_GE(2 * row_seconds(s), 0.06);

  EXPECT_GE(order_start(3) - order_start(0), 8.0);         // the picture's 7.2 s fade-in
  EXPECT_NEAR(order_start(6) - order_start(4), 6.0, 0.5);  // the lift towards white
  EXPECT_NEAR(order_start(8) - order_start(7), 2.5, 0.2);  // the fade to black
  // Bars 176..183 on consecutive beats, the full bar in order 4, then repeats over the second
  // picture with gaps of a second that let the point cloud through.
  const auto opening = cues_between(0, 10);
  ASSERT_GE(opening.size(), 11u);
  const auto values = values_between(0, 10);
  EXPECT_EQ(std::vector<int>(values.begin(), values.begin() + 10),
            (std::vector<int>{cue::kClearGlow, 176, 177, 178, 179, 180, 181, 182, 183, cue::kFullBar}));
  EXPECT_EQ(opening[9].order, 4);
  int long_gaps = 0;
  for (std::size_t i = 2; i < opening.size(); ++i) {
    if (i <= 9) {
      EXPECT_NEAR(at(opening[i]) - at(opening[i - 1]), 0.5, 1e-9) << i;
    }
    if (i >= 10) {
      EXPECT_TRUE(opening[i].value == cue::kRepeatBar && opening[i].order >= 8) << i;
    }
    if (i >= 11) long_gaps += at(opening[i]) - at(opening[i - 1]) >= 1.0;
  }
  EXPECT_GE(long_gaps, 2);

  EXPECT_EQ(values_between(11, 15), std::vector<int>{cue::kReveal});
  EXPECT_GE(order_start(16) - at(cues_between(11, 15)[0]), 4.0);  // the 3.6 s reveal completes
  std::set<int> toggles;
  for (const Cue& c : cues_between(16, 19)) toggles.insert(c.row % 16 == 0 ? c.value : -1);  // on bar lines
  EXPECT_EQ(toggles, (std::set<int>{1, 2, 3}));
  EXPECT_EQ(values_between(20, 24), (std::vector<int>{cue::kShake, cue::kFlashAndRise}));
  EXPECT_GE(order_start(25) - at(cues_between(20, 24).back()), 2.0);  // the logo has risen before the flashes
}

TEST(ShowModule, FlashesOnEveryBeatQuietScenesWithoutCuesAndTheFinaleBeats) {
  const auto flashes = cues_between(25, 26);
  ASSERT_EQ(flashes.size(), 16u);
  for (std::size_t i = 0; i < flashes.size(); ++i) {
    if (i > 0) {
      EXPECT_NEAR(at(flashes[i]) - at(flashes[i - 1]), 0.5, 1e-9);
    }
    EXPECT_NE(flashes[i].value, cue::kBeat) << "a left-over flash must not count as a finale beat";
    EXPECT_FALSE(flashes[i].value >= 160 && flashes[i].value <= 244) << int{flashes[i].value};
  }
  EXPECT_TRUE(cues_between(27, 35).empty());

  // The finale counts beats as its scene does: modes and 2 are beats, anything else once a
  // beat was seen; the counter stops after 93; the bars close by 5 a beat from order 44 on.
  const auto finale = cues_between(kOrderFinale, 255);
  ASSERT_FALSE(finale.empty());
  auto is_mode = [](int v) { return v == 2 || (v >= 160 && v <= 162) || (v >= 176 && v <= 179) || (v >= 240 && v <= 242) || v == 244; };
  EXPECT_EQ(finale.front().row, 0);
  EXPECT_TRUE(is_mode(finale.front().value));
  int beats = 0, before44 = 0, bars = 0, bars_closed_at = -1;
  for (std::size_t i = 0; i + 1 < finale.size(); ++i) {
    const Cue& c = finale[i];
    ASSERT_NE(c.value, cue::kEnd) << "the end comes last";
    if ((beats == 0 && !is_mode(c.value)) || beats >= 93) continue;
    ++beats;
    if (c.order < kOrderBarsClose) ++before44;
    else if ((bars = std::min(bars + 5, 99)) == 99 && bars_closed_at < 0) bars_closed_at = c.order;
    if (c.row % 16 != 0) {
      EXPECT_EQ(c.value, cue::kBeat) << "mode changes only on bar lines";
    }
  }
  EXPECT_LT(before44, 70);
  EXPECT_GE(beats - before44, 20);
  EXPECT_GE(bars_closed_at, kOrderBarsClose);
  EXPECT_LT(bars_closed_at, kOrderLineCloses);
  // The end: once, last, a few seconds into order 52 and before the module ends.
  const Cue& end = finale.back();
  EXPECT_EQ(end.value, cue::kEnd);
  EXPECT_EQ(end.order, kOrderLineCloses);
  EXPECT_GE(at(end) - order_start(kOrderLineCloses), 2.0);
  EXPECT_LE(at(end) - order_start(kOrderLineCloses), 6.0);
  EXPECT_LT(at(end), order_starts(full().module).back());
  const auto values = cue_values();
  EXPECT_EQ(std::count(values.begin(), values.end(), cue::kEnd), 1);
}

TEST(ShowModule, BuildWritesTheSameBytesAsTheComposer) {
  const std::filesystem::path dir = MORVANE_BUILD_DIR;
  for (const auto& [name, built] : {std::pair{"morvane.xm", &full()}, std::pair{"morvane-short.xm", &short_one()}}) {
    std::ifstream in(dir / name, std::ios::binary);
    if (!in) GTEST_SKIP() << name << " not built";
    EXPECT_TRUE(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}) == built->bytes) << name;
  }
  EXPECT_TRUE(xm::write_module(compose_module()) == full().bytes) << "composition is not deterministic";
}

}  // namespace
}  // namespace morvane::compose
