#include "workloads/cpu/arbitrage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

// Runs findArbitrage() on a hand-made table and returns what it printed.
// The test support sets double precision as the program does: with extended
// x87 precision the products of two rotations of one cycle differ, and a
// later rotation would beat the first.
std::string searchTable(int32_t count, const std::vector<double>& rows) {
  setRatesForTesting(count, rows.data());
  ::testing::internal::CaptureStdout();
  findArbitrage();
  return ::testing::internal::GetCapturedStdout();
}

// Progress of a table of `count` currencies: one line per length 2 .. count - 1.
std::string progressFor(int32_t count) {
  std::string lines;
  char line[16];
  for (int32_t length = 2; length <= count - 1; ++length) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", (length - 1) * 100.0 / (count - 1));
    lines += line;
  }
  return lines;
}

struct TableCase {
  const char* name;
  int32_t count;
  std::vector<double> rows;
  const char* resultLine;
};

class ArbitrageTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(ArbitrageTables, PrintsTheFirstBestCycle) {
  const TableCase& c = GetParam();
  EXPECT_EQ(searchTable(c.count, c.rows), progressFor(c.count) + c.resultLine);
}

INSTANTIATE_TEST_SUITE_P(HandMade, ArbitrageTables,
                         ::testing::Values(
                             // 1 <-> 3 gains 1.2 x 0.95 in both directions; the cycle from the
                             // lower start is found first and the equal one from 3 does not win.
                             TableCase{"TwoWayTieKeepsTheFirstStart",
                                       4,
                                       {1.0, 0.9, 0.9, 0.9,  //
                                        0.9, 1.0, 0.9, 1.2,  //
                                        0.9, 0.9, 1.0, 0.9,  //
                                        0.9, 0.95, 0.9, 1.0},
                                       "Arbitrage profit:  1.140, seq: 2 4 2\n"},
                             // 0 -> 1 -> 2 -> 0 gains 2 x 0.75 x 1 exactly; its rotations give the
                             // same product and lose to the first one found.
                             TableCase{"RotationsOfTheBestCycleTie",
                                       4,
                                       {1.0, 2.0, 0.5, 0.5,   //
                                        0.5, 1.0, 0.75, 0.5,  //
                                        1.0, 0.5, 1.0, 0.5,   //
                                        0.5, 0.5, 0.5, 1.0},
                                       "Arbitrage profit:  1.500, seq: 1 2 3 1\n"},
                             // 0 <-> 3 gains 2.0; the 3-cycles 0 -> 1 -> 2 and 0 -> 1 -> 3 gain
                             // exactly as much, and a longer cycle wins only when strictly better.
                             TableCase{"LongerCycleMustBeStrictlyBetter",
                                       4,
                                       {1.0, 2.0, 0.5, 0.5,   //
                                        0.5, 1.0, 2.0, 0.25,  //
                                        0.5, 0.5, 1.0, 0.5,   //
                                        4.0, 0.5, 0.25, 1.0},
                                       "Arbitrage profit:  2.000, seq: 1 4 1\n"},
                             // A product of exactly 1.0 is no gain.
                             TableCase{"ProductOfOneIsNoArbitrage",
                                       4,
                                       {1.0, 1.0, 1.0, 1.0,  //
                                        1.0, 1.0, 1.0, 1.0,  //
                                        1.0, 1.0, 1.0, 1.0,  //
                                        1.0, 1.0, 1.0, 1.0},
                                       "No arbitrage sequence exists\n"},
                             // Cycles through every currency are not searched, and a currency
                             // never follows itself, so a rich diagonal is no gain either.
                             TableCase{"CyclesThroughAllCurrenciesAndTheDiagonalAreIgnored",
                                       3,
                                       {9.0, 2.0, 0.25,  //
                                        0.25, 9.0, 2.0,  //
                                        2.0, 0.25, 9.0},
                                       "No arbitrage sequence exists\n"}),
                         [](const ::testing::TestParamInfo<TableCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(Arbitrage, SuperBriefModePrintsOnlyTheProgress) {
  runSettings.superBriefMode = true;
  const std::string out = searchTable(4, {1.0, 2.0, 0.5, 0.5, 0.5, 1.0, 0.75, 0.5,  //
                                          1.0, 0.5, 1.0, 0.5, 0.5, 0.5, 0.5, 1.0});
  runSettings.superBriefMode = false;
  EXPECT_EQ(out, progressFor(4));
  EXPECT_EQ(arbitrageResult().length, 3);
}

// The full test as the harness times it: generated rates, lengths 2 to 11.
TEST(Arbitrage, FullSearchPrintsAClosedCycleOfDistinctCurrencies) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(arbitrageTest(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string progress = "  9%\r 18%\r 27%\r 36%\r 45%\r 55%\r 64%\r 73%\r 82%\r 91%\r";
  ASSERT_EQ(out.substr(0, progress.size()), progress);

  const ArbitrageResult best = arbitrageResult();
  ASSERT_GE(best.length, 2);
  ASSERT_LE(best.length, 11);
  EXPECT_GT(best.profit, 1.0);
  std::set<int32_t> distinct(best.sequence, best.sequence + best.length);
  EXPECT_EQ(distinct.size(), static_cast<size_t>(best.length));

  std::ostringstream line;
  char profit[32];
  std::snprintf(profit, sizeof profit, "%7.3f", best.profit);
  line << "Arbitrage profit:" << profit << ", seq:";
  for (int32_t k = 0; k < best.length; ++k) line << ' ' << best.sequence[k] + 1;
  line << ' ' << best.sequence[0] + 1 << '\n';
  EXPECT_EQ(out.substr(progress.size()), line.str());
}

}  // namespace
}  // namespace bench
