#include "results/recorded_clock.h"

#include <gtest/gtest.h>

namespace bench {
namespace {

TEST(ClockToRecord, NearestClockOfThisDescriptionWithinTheSpread) {
  ResultTable table;
  table.append("Box", 3800, 2, 1000, false);
  table.append("Box", 3700, 1, 1000, false);
  table.append("Box ", 3750, 1, 1000, false);  // another description
  struct Case {
    int32_t measured;
    RecordedClock expected;
  };
  const Case cases[] = {
      {3667, {3700, true}},
      {3790, {3800, true}},
      {3750, {3700, true}},   // as near to both: the lower
      {3524, {3700, true}},   // 176 MHz away, within 5% of 3524
      {3523, {3520, false}},  // 177 MHz away, beyond 5% of 3523: rounded
      {4000, {3800, true}},
      {4001, {4000, false}},
      {4, {4, false}},
      {0, {0, false}},
  };
  for (const Case& c : cases) {
    RecordedClock got = clockToRecord(table, "Box", c.measured);
    EXPECT_EQ(got.mhz, c.expected.mhz) << c.measured;
    EXPECT_EQ(got.fromTable, c.expected.fromTable) << c.measured;
  }
}

}  // namespace
}  // namespace bench
