#include "results/speed_overview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/catalogue.h"

namespace bench {
namespace {

struct Record {
  const char* description;
  int32_t clock;
  int32_t test;
  int32_t time;
};

// The overview of tests 1, 2 and 3 over `records`, one line per system in
// its order: "description clock: permille/tests".
std::string ranked(const std::vector<Record>& records) {
  ResultTable table;
  for (const Record& r : records) table.append(r.description, r.clock, r.test, r.time, false);
  std::vector<ListedTest> tests;
  for (int n : {1, 2, 3}) tests.push_back(ListedTest{n, listingTitle(n)});
  SpeedOverview overview(table, selectTestRecords(table, tests, ListingOptions{}));
  std::string lines;
  for (size_t row : overview.ranking()) {
    const SystemId& system = overview.system(row);
    const OverallSpeed& overall = overview.overall(row);
    lines += std::string(system.description) + " " + std::to_string(system.clock) + ": " +
             (overall.tests == 0 ? "-" : std::to_string(overall.permille)) + "/" +
             std::to_string(overall.tests) + "\n";
  }
  return lines;
}

TEST(SpeedOverview, OverallFigureAndOrder) {
  struct Case {
    const char* what;
    std::vector<Record> records;
    const char* expected;
  };
  const Case cases[] = {
      {"one test",
       {{"Slow", 1000, 1, 4000}, {"Fast", 2000, 1, 1000}},
       "Fast 2000: 1000/1\nSlow 1000: 250/1\n"},
      {"several tests: the geometric mean of the ratios",
       {{"A", 1, 1, 100}, {"A", 1, 2, 800}, {"B", 1, 1, 200}, {"B", 1, 2, 100}},
       // A: 1 and 1/8; B: 1/2 and 1.
       "B 1: 707/2\nA 1: 353/2\n"},
      {"a system's best time counts; another clock is another system",
       {{"A", 1, 1, 300}, {"A", 1, 1, 100}, {"A", 2, 1, 200}},
       "A 1: 1000/1\nA 2: 500/1\n"},
      {"missing tests count for nothing, the figure is over the tests a system has",
       {{"Many", 1, 1, 100}, {"Many", 1, 2, 200}, {"Many", 1, 3, 200}, {"Few", 1, 2, 100}},
       "Few 1: 1000/1\nMany 1: 793/3\n"},
      {"ties: more tests first, then first appearance",
       {{"One", 1, 1, 200},
        {"Two", 1, 1, 200},
        {"Two", 1, 2, 200},
        {"Also one", 1, 2, 200},
        {"Best", 1, 1, 100},
        {"Best", 1, 2, 100}},
       "Best 1: 1000/2\nTwo 1: 500/2\nOne 1: 500/1\nAlso one 1: 500/1\n"},
      {"a time that is not positive counts for nothing, nor as the fastest",
       {{"Zero", 1, 1, 0},
        {"Zero", 1, 2, 400},
        {"Negative", 1, 1, -5},
        {"Fine", 1, 1, 100},
        {"Fine", 1, 2, 100},
        {"Nothing", 1, 3, 0}},
       "Fine 1: 1000/2\nZero 1: 250/1\nNegative 1: -/0\nNothing 1: -/0\n"},
      {"no records", {}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ranked(c.records), c.expected) << c.what;
}

}  // namespace
}  // namespace bench
