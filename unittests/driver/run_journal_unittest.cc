#include "driver/run_journal.h"

#include <gtest/gtest.h>

#include <set>

namespace bench {
namespace {

TEST(IsoUtcTime, CivilDatesAcrossLeapRules) {
  struct Case {
    int64_t seconds;
    const char* text;
  };
  const Case cases[] = {
      {0, "1970-01-01T00:00:00Z"},
      {951782400, "2000-02-29T00:00:00Z"},  // a leap day of a 400-year leap year
      {1796994896, "2026-12-11T13:14:56Z"},
      {4107542399, "2100-02-28T23:59:59Z"},  // 2100 is no leap year
      {4107542400, "2100-03-01T00:00:00Z"},
      {-1, "1969-12-31T23:59:59Z"},
  };
  for (const Case& c : cases) EXPECT_EQ(isoUtcTime(c.seconds), c.text) << c.seconds;
}

TEST(NewRunId, ThirtyTwoHexDigitsAndNoRepeats) {
  std::set<std::string> ids;
  for (int i = 0; i < 100; ++i) {
    std::string id = newRunId();
    EXPECT_EQ(id.size(), 32u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos) << id;
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 100u);
}

}  // namespace
}  // namespace bench
