// "Did it get faster?": two runs of each test compared by their repetition
// times. A change counts only when a two-sided rank test over the two sets
// of repetitions says it is unlikely to be noise (p below
// CHANGE_P_VALUE_LIMIT) and the median moved by at least CHANGE_PERCENT_MIN;
// a test timed once, or with fewer than MIN_JUDGED_REPETITIONS repetitions
// on a side, shows its change unjudged. Facts that make a change doubtful
// (a busy machine, another build, another clock) come along as warnings.
//
// Stateless; the comparison points into the entries it was made from.
#ifndef BENCH_RESULTS_COMPARISON_H_
#define BENCH_RESULTS_COMPARISON_H_

#include <cstdint>
#include <string>
#include <vector>

#include "core/rank_test.h"
#include "results/evidence.h"
#include "results/journal.h"
#include "results/run_selection.h"

namespace bench {

inline constexpr double CHANGE_P_VALUE_LIMIT = 0.01;
inline constexpr double CHANGE_PERCENT_MIN = 1.0;
inline constexpr int32_t MIN_JUDGED_REPETITIONS = 5;

enum class Verdict { FASTER, SLOWER, NO_CLEAR_CHANGE, NOT_JUDGED };

// Reasons to doubt a change; a set of them is a bit mask.
enum ComparisonWarning : unsigned {
  BUSY_BEFORE = 1u << 0,  // the earlier run's repetitions say the machine was busy
  BUSY_NOW = 1u << 1,     // the same of the later run
  OTHER_BUILD = 1u << 2,  // another program: build, compiler or version
  OTHER_CLOCK = 1u << 3,  // another recorded clock, or measured clocks apart
};

// What verdicts and warnings are called: words for the table, a token for
// JSON.
struct ComparisonNames {
  const char* text;
  const char* token;
};
ComparisonNames namesOf(Verdict verdict);
ComparisonNames namesOf(ComparisonWarning warning);

// The warnings of the set `warnings`, in the order of their bits.
std::vector<ComparisonWarning> warningsIn(unsigned warnings);

struct ComparedTest {
  const JournalEntry* before = nullptr;
  const JournalEntry* now = nullptr;
  Evidence beforeFacts;  // the repetitions' count, median, spread, verdict
  Evidence nowFacts;
  // (now - before) / before of the medians in percent; unknown for a median
  // of 0 before.
  bool changeKnown = false;
  double changePercent = 0;
  bool tested = false;  // the rank test ran (the verdict was judged)
  RankTest rank;
  Verdict verdict = Verdict::NOT_JUDGED;
  unsigned warnings = 0;
};

// Compares one test's run `before` with its run `now`.
// REQUIRES: both of the same test.
ComparedTest compareRuns(const JournalEntry& before, const JournalEntry& now);

struct Comparison {
  std::vector<ComparedTest> tests;  // tests with a run on both sides, by number
  std::vector<int32_t> onlyBefore;  // tests with a run on one side only, by number
  std::vector<int32_t> onlyNow;
};

// Where the two sides of a comparison come from.
struct ComparedSides {
  // True when both come from one journal: each test's latest run against
  // the run before it; else each side's latest runs.
  bool oneJournal = false;
  std::string beforeJournal;  // file names as given, for headings
  std::string nowJournal;
  JournalSystem beforeSystem;
  JournalSystem nowSystem;
};

// Compares the runs of every test present on both sides.
Comparison compareSides(const RunsByTest& before, const RunsByTest& now);

}  // namespace bench

#endif  // BENCH_RESULTS_COMPARISON_H_
