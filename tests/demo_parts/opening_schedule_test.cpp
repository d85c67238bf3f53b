// The opening scene's level and cloud gate by order. Expected values were worked out apart
// from this code (32-bit float where the arithmetic is, truncation toward zero).
#include <gtest/gtest.h>

#include "demo_parts/opening/opening_schedule.h"

namespace morvane {
namespace {

class ScheduleTest : public ::testing::Test {
 protected:
  OrderStarts starts;
  OpeningSchedule schedule;
  float event_time = 0.0f;

  void frame(int order, float t) {
    starts.see(order, t);
    advance_schedule(schedule, order, t, event_time, starts);
  }
  void expect(int level, int gate) const {
    EXPECT_EQ(schedule.level, level);
    EXPECT_EQ(schedule.cloud_gate, gate);
  }
};

TEST_F(ScheduleTest, FadesInOverOrders0To2) {
  frame(0, 0.0f);
  expect(0, 0);  // trunc(-3) limited to 0
  frame(0, 30.0f);
  expect(7, 0);
  frame(1, 100.0f);
  expect(20, 3);
  frame(2, 300.0f);
  expect(75, 43);
  frame(2, 2000.0f);
  expect(128, 128);
}

TEST_F(ScheduleTest, Order3FreezesLevelAndGate) {
  frame(0, 0.0f);
  frame(2, 300.0f);
  frame(3, 400.0f);
  expect(75, 43);
  frame(3, 500.0f);
  expect(75, 43);
}

TEST_F(ScheduleTest, EnteringInOrder3KeepsTheStartValues) {
  frame(3, 50.0f);
  expect(0, 0);
  EXPECT_EQ(schedule.point_count, 1012);
}

TEST_F(ScheduleTest, Orders4And5RiseFromTheStartOfOrder4) {
  frame(0, 0.0f);
  frame(4, 600.0f);
  frame(4, 700.0f);
  expect(126, 132);
  frame(5, 1000.0f);  // still measured from order 4
  expect(189, 6);
}

TEST_F(ScheduleTest, Order6HoldsAndOrder7FadesOut) {
  frame(0, 0.0f);
  frame(6, 1000.0f);
  expect(194, 0);
  frame(7, 1100.0f);
  frame(7, 1130.0f);
  expect(182, 0);
  frame(7, 1150.5f);
  expect(171, 0);
}

TEST_F(ScheduleTest, Order8FlashesOnEventsAndDoublesTheCloudForGood) {
  frame(0, 0.0f);
  event_time = 2000.0f;
  frame(8, 2000.0f);
  expect(126, 0);  // I = 126: level = I, gate = 126 - 64 x 126 + 128 < 0
  EXPECT_EQ(schedule.point_count, 2024);
  frame(8, 2010.0f);
  expect(148, 0);  // I = 121
  frame(9, 2100.0f);
  expect(128, 256);  // I = 0: level limited to I + 128
  frame(7, 2110.0f);
  EXPECT_EQ(schedule.point_count, 2024);
}

TEST_F(ScheduleTest, OrderStartIsTakenWhenTheOrderChanges) {
  starts.see(4, 10.0f);
  starts.see(4, 20.0f);
  EXPECT_EQ(starts[4], 10.0f);
  starts.see(5, 30.0f);
  starts.see(4, 40.0f);
  EXPECT_EQ(starts[4], 40.0f);
  EXPECT_EQ(starts[6], 0.0f);
  starts.see(300, 50.0f);  // outside the table: not kept, reads 0
  EXPECT_EQ(starts[300], 0.0f);
  EXPECT_EQ(starts[-1], 0.0f);
}

}  // namespace
}  // namespace morvane
