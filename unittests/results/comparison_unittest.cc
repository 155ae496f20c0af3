#include "results/comparison.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/comparison_json.h"
#include "results/comparison_text.h"
#include "results/json_value.h"
#include "results/run_selection.h"
#include "support/test_support.h"

namespace bench {
namespace {

// A journal line of test `test` with the given repetition times.
JournalEntry run(int32_t test, const std::string& time, const std::string& runId,
                 std::vector<int32_t> repetitions, const std::string& description = "Box",
                 int32_t clock = 3000) {
  JournalEntry entry =
      testing::repeatedRunEntry(test, time, runId, std::move(repetitions), description, clock);
  entry.title = "Regular expression test (4 x 16k matches on 32-byte strings)";
  return entry;
}

// Repetition times around `center` ms: center - 2 .. center + 2, `count` of them.
std::vector<int32_t> around(int32_t center, int count) {
  std::vector<int32_t> times;
  for (int i = 0; i < count; ++i) times.push_back(center - 2 + i % 5);
  return times;
}

TEST(RunSelection, LatestByTimeThenFileOrderAndTheRunBeforeIt) {
  const std::vector<JournalEntry> entries = {
      run(16, "2026-01-02T00:00:00Z", "b", {20}),  // the latest of test 16
      run(16, "2026-01-01T00:00:00Z", "a", {10}),
      run(16, "2026-01-02T00:00:00Z", "b", {20}),               // the same line copied twice
      run(16, "2026-01-03T00:00:00Z", "c", {30}, "Box", 2000),  // another clock
      run(9, "2026-01-05T00:00:00Z", "d", {40}),
      run(9, "2026-01-05T00:00:00Z", "e", {50}),  // an equal time: the later line
      run(5, "2026-01-05T00:00:00Z", "e", {60}),  // a single run
  };
  const RunsByTest latest = latestRuns(entries, {"Box", 3000});
  ASSERT_EQ(latest.size(), 3u);
  EXPECT_EQ(latest.at(16)->repetitionsMs[0], 20);
  EXPECT_EQ(latest.at(9)->repetitionsMs[0], 50);
  const RunsByTest before = runsBefore(entries, latest);
  ASSERT_EQ(before.size(), 2u);
  EXPECT_EQ(before.at(16)->repetitionsMs[0], 10);
  EXPECT_EQ(before.at(9)->repetitionsMs[0], 40);

  const std::vector<JournalSystem> systems =
      systemsIn(entries, [](const JournalEntry& entry) { return entry.test == 16; });
  EXPECT_EQ(systems, (std::vector<JournalSystem>{{"Box", 3000}, {"Box", 2000}}));
}

TEST(Comparison, VerdictsNeedTheRankTestAndAOnePercentChange) {
  const std::vector<int32_t> five = {1000, 1001, 1002, 1003, 1004};
  const std::vector<int32_t> fiveSlower = {1050, 1051, 1052, 1053, 1054};
  struct {
    const char* name;
    std::vector<int32_t> before, now;
    bool repeated;
    Verdict verdict;
  } const cases[] = {
      {"equal", around(1000, 40), around(1000, 40), true, Verdict::NO_CLEAR_CHANGE},
      {"5% slower", around(1000, 40), around(1050, 40), true, Verdict::SLOWER},
      {"5% faster", around(1050, 40), around(1000, 40), true, Verdict::FASTER},
      // Certain, but too small to count.
      {"0.5% slower", around(2000, 200), around(2010, 200), true, Verdict::NO_CLEAR_CHANGE},
      // Five apart from five is the least evidence that counts (p = 2/252).
      {"five each", five, fiveSlower, true, Verdict::SLOWER},
      {"four now", five, {1050, 1051, 1052, 1053}, true, Verdict::NOT_JUDGED},
      {"timed once", {1000}, {2000}, false, Verdict::NOT_JUDGED},
      // Mostly the same, a few slow repetitions: the medians barely move.
      {"outliers", around(1000, 30),
       [] {
         std::vector<int32_t> t = around(1000, 30);
         t[3] = t[7] = 1500;
         return t;
       }(),
       true, Verdict::NO_CLEAR_CHANGE},
  };
  for (const auto& c : cases) {
    JournalEntry before = run(16, "2026-01-01T00:00:00Z", "a", c.before);
    JournalEntry now = run(16, "2026-01-02T00:00:00Z", "b", c.now);
    before.repeated = now.repeated = c.repeated;
    const ComparedTest compared = compareRuns(before, now);
    EXPECT_EQ(compared.verdict, c.verdict) << c.name << ", p = " << compared.rank.pValue;
    EXPECT_EQ(compared.tested, c.verdict != Verdict::NOT_JUDGED) << c.name;
    EXPECT_TRUE(compared.changeKnown) << c.name;
  }
  const ComparedTest once = compareRuns(run(16, "t", "a", {1000}), run(16, "t", "b", {1100}));
  EXPECT_DOUBLE_EQ(once.changePercent, 10.0);
  // Repetitions too short for the stopwatch: no change can be stated.
  const ComparedTest fromZero =
      compareRuns(run(16, "t", "a", {0, 0, 0, 0, 0}), run(16, "t", "b", {1, 1, 1, 1, 1}));
  EXPECT_FALSE(fromZero.changeKnown);
  EXPECT_EQ(fromZero.verdict, Verdict::NO_CLEAR_CHANGE);
}

TEST(Comparison, WarningsOfBusyMachinesOtherBuildsAndOtherClocks) {
  struct {
    const char* name;
    void (*change)(JournalEntry* before, JournalEntry* now);
    unsigned warnings;
  } const cases[] = {
      {"none", [](JournalEntry*, JournalEntry*) {}, 0},
      {"busy before", [](JournalEntry* b, JournalEntry*) { b->busy = true; }, BUSY_BEFORE},
      {"busy both", [](JournalEntry* b, JournalEntry* n) { b->busy = n->busy = true; },
       BUSY_BEFORE | BUSY_NOW},
      {"x87", [](JournalEntry*, JournalEntry* n) { n->floatingPoint = "x87"; }, OTHER_BUILD},
      {"compiler", [](JournalEntry*, JournalEntry* n) { n->compiler = "gcc 14.2.0"; }, OTHER_BUILD},
      {"revision", [](JournalEntry*, JournalEntry* n) { n->revision = 93; }, OTHER_BUILD},
      {"recorded clock", [](JournalEntry*, JournalEntry* n) { n->clock = 3300; }, OTHER_CLOCK},
      {"measured 6% apart", [](JournalEntry*, JournalEntry* n) { n->clockBeforeMhz = 3180; },
       OTHER_CLOCK},
      {"measured 4% apart", [](JournalEntry*, JournalEntry* n) { n->clockBeforeMhz = 3120; }, 0},
      {"one not measured", [](JournalEntry*, JournalEntry* n) { n->clockBeforeMhz = 0; }, 0},
  };
  for (const auto& c : cases) {
    JournalEntry before = run(16, "2026-01-01T00:00:00Z", "a", around(1000, 10));
    JournalEntry now = run(16, "2026-01-02T00:00:00Z", "b", around(1000, 10));
    c.change(&before, &now);
    EXPECT_EQ(compareRuns(before, now).warnings, c.warnings) << c.name;
  }
}

// Both forms of the report: the table with its heading, rows in test order,
// warnings in the last column, the tests on one side only below it; the
// JSON with the same figures.
class ComparisonReport : public ::testing::Test {
 protected:
  ComparisonReport() {
    JournalEntry busy = run(16, "2026-01-02T00:00:00Z", "b", around(1100, 40));
    busy.busy = true;
    busy.compiler = "gcc 14.2.0";
    entries_ = {run(16, "2026-01-01T00:00:00Z", "a", around(1000, 40)),
                busy,
                run(9, "2026-01-01T00:00:00Z", "a", {532}),
                run(9, "2026-01-02T00:00:00Z", "b", {540}),
                run(4, "2026-01-01T00:00:00Z", "a", {77}),
                run(8, "2026-01-02T00:00:00Z", "b", {900})};
    entries_[2].repeated = entries_[3].repeated = entries_[4].repeated = entries_[5].repeated =
        false;
    entries_[2].title = entries_[3].title =
        "Wavelet (T-S) transform in memory (int32[4M-2K] arrays)";
    for (int i : {0, 2, 4}) before_[entries_[i].test] = &entries_[i];
    for (int i : {1, 3, 5}) now_[entries_[i].test] = &entries_[i];
    sides_.beforeJournal = "old.jsonl";
    sides_.nowJournal = "runs.jsonl";
    sides_.beforeSystem = {"Old box", 2400};
    sides_.nowSystem = {"Box", 3000};
  }

  std::vector<JournalEntry> entries_;
  RunsByTest before_, now_;
  ComparedSides sides_;
};

TEST_F(ComparisonReport, TableNamesBothSidesAndListsOneSidedTestsOnce) {
  std::string text;
  appendComparisonText(&text, sides_, compareSides(before_, now_));
  EXPECT_EQ(text,
            "Before: \"Old box\" (2400 MHz) in \"old.jsonl\": the latest run\n"
            "Now:    \"Box\" (3000 MHz) in \"runs.jsonl\": the latest run\n"
            "\n"
            "Test                                     Before  runs        Now  runs   Change  "
            "Verdict\n"
            " 9 Wavelet (T-S) transform in memory    0.532 s     1    0.540 s     1    +1.5%  "
            "one run: not judged\n"
            "16 Regular expression test              1.000 s    40    1.100 s    40   +10.0%  "
            "slower               busy now, other build\n"
            "\n"
            "Only in \"old.jsonl\": test 4\n"
            "Only in \"runs.jsonl\": test 8\n"
            "\n"
            "Faster or slower: a rank test of the repetition times gives p < 0.01 and the\n"
            "median moved by 1% or more. Fewer than 5 repetitions are not judged.\n");
}

TEST_F(ComparisonReport, JsonCarriesEveryFigureAndThePValue) {
  std::string text;
  const Comparison comparison = compareSides(before_, now_);
  appendComparisonJson(&text, sides_, comparison);
  JsonValue document;
  std::string error;
  ASSERT_TRUE(JsonValue::parse(text, &document, &error)) << error << "\n" << text;
  EXPECT_EQ(document.member("comparison")->string(), "against_journal");
  EXPECT_EQ(document.member("before")->member("description")->string(), "Old box");
  const std::vector<JsonValue>& tests = document.member("tests")->items();
  ASSERT_EQ(tests.size(), 2u);
  const JsonValue& once = tests[0];
  EXPECT_EQ(once.member("test")->number(), 9);
  EXPECT_TRUE(once.member("p_value")->isNull());
  EXPECT_EQ(once.member("verdict")->string(), "not_judged");
  EXPECT_EQ(once.member("now")->member("timed")->string(), "once");
  const JsonValue& slower = tests[1];
  EXPECT_EQ(slower.member("verdict")->string(), "slower");
  EXPECT_NEAR(slower.member("p_value")->number(), comparison.tests[1].rank.pValue,
              1e-6 * comparison.tests[1].rank.pValue);
  EXPECT_LT(slower.member("p_value")->number(), 1e-10);
  EXPECT_DOUBLE_EQ(slower.member("change_percent")->number(), 10.0);
  EXPECT_EQ(slower.member("before")->member("run_id")->string(), "a");
  EXPECT_EQ(slower.member("now")->member("median_ms")->number(), 1100);
  EXPECT_EQ(slower.member("now")->member("repetitions")->number(), 40);
  EXPECT_EQ(slower.member("now")->member("noise")->string(), "busy");
  const std::vector<JsonValue>& warnings = slower.member("warnings")->items();
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].string(), "busy_now");
  EXPECT_EQ(warnings[1].string(), "other_build");
  EXPECT_EQ(document.member("only_before")->items().at(0).number(), 4);
  EXPECT_EQ(document.member("only_now")->items().at(0).number(), 8);
}

}  // namespace
}  // namespace bench
