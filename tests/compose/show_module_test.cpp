// The show's modules: structure, the cues in playing order as three readers see them (our own
// model, the player's Z scanner, libopenmpt), and the timings the scenes need.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
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
  static const Built b = [] {
    Built x{compose_module(), {}};
    x.bytes = xm::write_module(x.module);
    return x;
  }();
  return b;
}

const Built& short_one() {
  static const Built b = [] {
    Built x{compose_short_module(), {}};
    x.bytes = xm::write_module(x.module);
    return x;
  }();
  return b;
}

std::vector<std::uint8_t> cue_values() {
  std::vector<std::uint8_t> v;
  for (const Cue& c : show_cues()) v.push_back(c.value);
  return v;
}

std::vector<std::uint8_t> values_of(const std::vector<ZEvent>& events) {
  std::vector<std::uint8_t> v;
  for (const auto& e : events) v.push_back(e.value);
  return v;
}

// Seconds of every cue in the full module.
double at(const Cue& c) { return position_seconds(full().module, c.order, c.row); }
double order_start(int order) { return order_starts(full().module).at(static_cast<std::size_t>(order)); }

std::vector<Cue> cues_between(int first_order, int last_order) {
  std::vector<Cue> out;
  for (const Cue& c : show_cues())
    if (c.order >= first_order && c.order <= last_order) out.push_back(c);
  return out;
}

TEST(ShowModule, BothVariantsHaveTheSameOrdersAndCues) {
  for (const Built* b : {&full(), &short_one()}) {
    EXPECT_GE(b->module.orders.size(), 53u);
    EXPECT_EQ(b->module.orders.size(), full().module.orders.size());
    EXPECT_EQ(values_of(z_events(b->module)), cue_values());
  }
  // Cue positions in the full module are exactly the cue list's.
  const auto events = z_events(full().module);
  ASSERT_EQ(events.size(), show_cues().size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].order, show_cues()[i].order);
    EXPECT_EQ(events[i].row, show_cues()[i].row);
  }
}

TEST(ShowModule, OneChannelCarriesTheCuesAndNothingElse) {
  for (const Built* b : {&full(), &short_one()}) {
    std::set<int> cue_channels;
    for (const auto& p : b->module.patterns) {
      for (int r = 0; r < p.rows(); ++r) {
        for (int c = 0; c < p.channels(); ++c) {
          const xm::Cell& cell = p.at(r, c);
          if (cell.effect == xm::kEffectZ) cue_channels.insert(c);
          if (c == kChCue && !cell.empty()) {
            EXPECT_EQ(cell.effect, xm::kEffectZ);
            EXPECT_EQ(cell.note, 0);
            EXPECT_EQ(cell.instrument, 0);
            EXPECT_EQ(cell.volume, 0);
          }
        }
      }
    }
    EXPECT_EQ(cue_channels, std::set<int>{kChCue});
  }
}

TEST(ShowModule, PlayerScannerSeesTheCuesInPlayingOrder) {
  for (const Built* b : {&full(), &short_one()}) {
    const XmScan scan = scan_xm_z(b->bytes);
    ASSERT_TRUE(scan.ok()) << scan.problem;
    EXPECT_EQ(scan.orders.size(), b->module.orders.size());
    std::vector<std::uint8_t> seen;
    for (std::uint8_t pattern : scan.orders)
      for (int row = 0; row < scan.pattern_rows.at(pattern); ++row)
        for (const XmZCell& z : z_cells_in_row(scan.z_cells, pattern, row)) seen.push_back(z.parameter);
    EXPECT_EQ(seen, cue_values());
  }
}

TEST(ShowModule, LibopenmptSeesAFastTracker2ModuleWithTheCues) {
  for (const Built* b : {&full(), &short_one()}) {
    openmpt::module mod(b->bytes.data(), b->bytes.size());
    EXPECT_EQ(mod.get_metadata("tracker"), "FastTracker 2 or compatible");
    ASSERT_EQ(mod.get_num_orders(), static_cast<std::int32_t>(b->module.orders.size()));
    std::vector<std::uint8_t> seen;
    for (int o = 0; o < mod.get_num_orders(); ++o) {
      const int p = mod.get_order_pattern(o);
      for (int r = 0; r < mod.get_pattern_num_rows(p); ++r)
        for (int c = 0; c < mod.get_num_channels(); ++c)
          if (mod.format_pattern_row_channel_command(p, r, c, openmpt::module::command_effect) == "Z")
            seen.push_back(static_cast<std::uint8_t>(mod.get_pattern_row_channel_command(p, r, c, openmpt::module::command_parameter)));
    }
    EXPECT_EQ(seen, cue_values());
    // libopenmpt's clock agrees with ours, order by order.
    const auto starts = order_starts(b->module);
    // (libopenmpt counts whole samples per tick: at BPM 255 its ticks run 0.13% short.)
    auto near = [](double a, double b) { return std::abs(a - b) <= 1e-3 + 0.002 * b; };
    EXPECT_PRED2(near, mod.get_duration_seconds(), starts.back());
    for (int o = 0; o < mod.get_num_orders(); o += 4) {
      EXPECT_PRED2(near, mod.set_position_order_row(o, 0), starts[static_cast<std::size_t>(o)]) << o;
    }
  }
}

TEST(ShowModule, LengthsFitTheShow) {
  const double seconds = order_starts(full().module).back();
  EXPECT_GE(seconds, 180.0);
  EXPECT_LE(seconds, 300.0);
  EXPECT_LT(order_starts(short_one().module).back(), 30.0);
  // Short variant: one or two rows per cue, cues at least two rows (78 ms) apart.
  const auto& s = short_one().module;
  for (std::size_t o = 0; o < s.orders.size(); ++o) {
    const auto cues = cues_in(static_cast<int>(o)).size();
    EXPECT_EQ(s.patterns[s.orders[o]].rows(), std::max<int>(1, 2 * static_cast<int>(cues))) << o;
  }
  EXPECT_EQ(s.bpm, 255);
  EXPECT_GE(2 * row_seconds(s), 0.06);
}

TEST(ShowModule, FirstSceneTimings) {
  EXPECT_GE(order_start(3) - order_start(0), 8.0);  // the picture's 7.2 s fade-in
  EXPECT_NEAR(order_start(6) - order_start(4), 6.0, 0.5);  // the lift towards white
  EXPECT_NEAR(order_start(8) - order_start(7), 2.5, 0.2);  // the fade to black
  const auto cues = cues_between(0, 10);
  ASSERT_GE(cues.size(), 11u);
  EXPECT_EQ(cues[0].value, cue::kClearGlow);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(cues[1 + i].value, 176 + i);
    if (i > 0) {
      EXPECT_NEAR(at(cues[1 + i]) - at(cues[i]), 0.5, 1e-9) << "bars on consecutive beats";
    }
  }
  EXPECT_EQ(cues[9].value, cue::kFullBar);
  EXPECT_NEAR(at(cues[9]) - at(cues[8]), 0.5, 1e-9);
  EXPECT_EQ(cues[9].order, 4);
  for (std::size_t i = 10; i < cues.size(); ++i) {
    EXPECT_EQ(cues[i].value, cue::kRepeatBar);
    EXPECT_GE(cues[i].order, 8) << "flashes belong to the second picture";
  }
  // Gaps of at least a second let the point cloud through between the flashes.
  int long_gaps = 0;
  for (std::size_t i = 11; i < cues.size(); ++i) long_gaps += at(cues[i]) - at(cues[i - 1]) >= 1.0;
  EXPECT_GE(long_gaps, 2);
}

TEST(ShowModule, FlightAndLightMapTimings) {
  const auto reveal = cues_between(11, 15);
  ASSERT_EQ(reveal.size(), 1u);
  EXPECT_EQ(reveal[0].value, cue::kReveal);
  EXPECT_GE(order_start(16) - at(reveal[0]), 4.0);  // the 3.6 s reveal completes

  const auto phase1 = cues_between(16, 19);
  std::set<int> toggles;
  for (const Cue& c : phase1) toggles.insert(c.value);
  EXPECT_EQ(toggles, (std::set<int>{1, 2, 3}));
  for (const Cue& c : phase1) EXPECT_EQ(c.row % 16, 0) << "toggles on bar lines";

  const auto phase2 = cues_between(20, 24);
  ASSERT_EQ(phase2.size(), 2u);
  EXPECT_EQ(phase2[0].value, cue::kShake);
  EXPECT_EQ(phase2[1].value, cue::kFlashAndRise);
  EXPECT_GE(order_start(25) - at(phase2[1]), 2.0);  // the logo has risen before the flashes
}

TEST(ShowModule, FlashesOnEveryBeatAndQuietScenesWithoutCues) {
  const auto flashes = cues_between(25, 26);
  EXPECT_EQ(flashes.size(), 16u);
  for (std::size_t i = 1; i < flashes.size(); ++i) EXPECT_NEAR(at(flashes[i]) - at(flashes[i - 1]), 0.5, 1e-9);
  for (const Cue& c : flashes) {
    EXPECT_NE(c.value, cue::kBeat) << "a left-over flash must not count as a finale beat";
    EXPECT_FALSE(c.value >= 160 && c.value <= 244) << int{c.value};
  }
  EXPECT_TRUE(cues_between(27, 35).empty());
}

// The finale counts beats as its scene does: modes and 2 are beats, anything else once a beat
// was seen; the counter stops after 93; the bars close by 5 rows a beat from order 44 on.
TEST(ShowModule, FinaleBeatsCloseTheBarsBeforeTheCounterStops) {
  const auto finale = cues_between(kOrderFinale, 255);
  ASSERT_FALSE(finale.empty());
  EXPECT_EQ(finale.front().row, 0);
  auto is_mode = [](int v) { return v == 2 || (v >= 160 && v <= 162) || (v >= 176 && v <= 179) || v == 240 || v == 241 || v == 242 || v == 244; };
  bool seen = false;
  int counter = 3, bars = 0, before44 = 0, in44 = 0, bars_closed_at = -1;
  std::size_t end_index = finale.size();
  for (std::size_t i = 0; i < finale.size(); ++i) {
    const Cue& c = finale[i];
    if (c.value == cue::kEnd) {
      end_index = i;
      break;
    }
    const bool beat = is_mode(c.value) || seen;
    seen |= beat;
    if (!beat || counter >= 280) continue;
    counter += 3;
    if (c.order >= kOrderBarsClose) {
      ++in44;
      bars = std::min(bars + 5, 99);
      if (bars == 99 && bars_closed_at < 0) bars_closed_at = c.order;
    } else {
      ++before44;
    }
    if (c.row % 16 != 0) {
      EXPECT_EQ(c.value, cue::kBeat) << "mode changes only on bar lines";
    }
  }
  EXPECT_TRUE(is_mode(finale.front().value));
  EXPECT_LT(before44, 70);
  EXPECT_GE(in44, 20);
  EXPECT_LE(before44 + in44, 93);
  EXPECT_GE(bars_closed_at, kOrderBarsClose);
  EXPECT_LT(bars_closed_at, kOrderLineCloses);
  // The end: once, last, a few seconds into order 52 and before the module ends.
  ASSERT_EQ(end_index + 1, finale.size());
  const Cue& end = finale.back();
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
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(bytes == built->bytes) << name;
  }
  EXPECT_TRUE(xm::write_module(compose_module()) == full().bytes) << "composition is not deterministic";
}

}  // namespace
}  // namespace morvane::compose
