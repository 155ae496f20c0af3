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
      {3667, {3700, true}},  {3790, {3800, true}},  {3750, {3700, true}},  // as near to both: the
                                                                           // lower
      {3593, {3700, true}},   // 107 MHz away, within 3% of 3593
      {3592, {3590, false}},  // 108 MHz away, beyond 3% of 3592: rounded
      {3917, {3800, true}},  {3918, {3920, false}}, {4, {4, false}},      {0, {0, false}},
  };
  for (const Case& c : cases) {
    RecordedClock got = clockToRecord(table, "Box", c.measured);
    EXPECT_EQ(got.mhz, c.expected.mhz) << c.measured;
    EXPECT_EQ(got.fromTable, c.expected.fromTable) << c.measured;
  }
}

}  // namespace
}  // namespace bench
