// Listening by numbers: the piece rendered by libopenmpt has music in every order, never clips,
// keeps both sides of the stereo field alive, and is louder where the show is at its busiest.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/compose/module_render.h"
#include "tools/compose/composition.h"
#include "tools/compose/module_timing.h"
#include "tools/compose/show_cues.h"
#include "tools/compose/xm_writer.h"

namespace morvane::compose {
namespace {

const test::RenderReport& rendered() {
  static const test::RenderReport report = [] {
    const auto bytes = xm::write_module(compose_module());
    return test::render_module(bytes, 44100, false);
  }();
  return report;
}

double mean_rms(int first, int last) {
  double sum = 0.0;
  int n = 0;
  for (const auto& o : rendered().orders) {
    if (o.order >= first && o.order <= last) {
      sum += o.rms_db;
      ++n;
    }
  }
  return n ? sum / n : -200.0;
}

TEST(Listen, EveryOrderPlaysOnceInSequence) {
  const auto& orders = rendered().orders;
  ASSERT_EQ(orders.size(), static_cast<std::size_t>(order_starts(compose_module()).size() - 1));
  for (std::size_t i = 0; i < orders.size(); ++i) EXPECT_EQ(orders[i].order, static_cast<int>(i));
  EXPECT_NEAR(rendered().seconds, order_starts(compose_module()).back(), 0.15);  // within a row
}

TEST(Listen, NoClippingAndHeadroom) {
  EXPECT_LT(rendered().peak, 0.9);
  EXPECT_GT(rendered().peak, 0.3) << "too quiet overall";
}

TEST(Listen, MusicInEveryOrderAndNoSilentStretch) {
  for (const auto& o : rendered().orders) {
    EXPECT_GT(o.rms_db, -30.0) << "order " << o.order;
    // The first order swells from nothing and the last one rings out after the end cue.
    if (o.order == 0 || o.order == kOrderLineCloses) continue;
    EXPECT_GT(o.quietest_window_db, -45.0) << "a silent 100 ms in order " << o.order;
  }
}

TEST(Listen, BothSidesOfTheStereoField) {
  EXPECT_NEAR(rendered().left_rms_db, rendered().right_rms_db, 3.0);
}

TEST(Listen, DynamicsFollowTheShow) {
  const double dream = mean_rms(kOrderGrid, kOrderGrid + 2);
  const double finale = mean_rms(kOrderFinale, kOrderLineCloses - 1);
  const double intro = mean_rms(0, 2);
  EXPECT_GT(finale, dream + 2.0);
  EXPECT_GT(finale, intro + 2.0);
  EXPECT_GT(finale, -22.0);
}

}  // namespace
}  // namespace morvane::compose
