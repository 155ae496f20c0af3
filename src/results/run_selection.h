// Choosing runs from a journal for a comparison: which systems a journal
// holds, each test's latest run of one system, and the run before it.
//
// A system is what the result table identifies: a description and a clock.
// "Latest" goes by the line's time (ISO 8601 texts in UTC compare as
// times); of lines with equal times the later one in the file counts as
// later, since lines are appended.
//
// Stateless; the returned pointers point into the given entries.
#ifndef BENCH_RESULTS_RUN_SELECTION_H_
#define BENCH_RESULTS_RUN_SELECTION_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "results/journal.h"

namespace bench {

struct JournalSystem {
  std::string description;
  int32_t clock = 0;

  bool operator==(const JournalSystem&) const = default;
};

// The system of an entry.
JournalSystem systemOf(const JournalEntry& entry);

// The distinct systems of the entries that `accepts`, in the order of their
// first line.
std::vector<JournalSystem> systemsIn(const std::vector<JournalEntry>& entries,
                                     const std::function<bool(const JournalEntry&)>& accepts);

// Runs by test number.
using RunsByTest = std::map<int32_t, const JournalEntry*>;

// The latest entry of each test of `system`.
RunsByTest latestRuns(const std::vector<JournalEntry>& entries, const JournalSystem& system);

// For each test of `latest` (as latestRuns gives them), the latest other
// entry of the same test and system that is an earlier run: written earlier,
// or by another invocation (a line copied twice into the journal is not a
// run of its own). Tests without one are missing.
RunsByTest runsBefore(const std::vector<JournalEntry>& entries, const RunsByTest& latest);

}  // namespace bench

#endif  // BENCH_RESULTS_RUN_SELECTION_H_
