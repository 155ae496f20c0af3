// The journal lines of one run of tests: the facts every line shares (the
// invocation, the program and its build, the system and its clock) are
// gathered once at the start; each recorded result adds its test's own.
//
// Main thread only.
#ifndef BENCH_DRIVER_RUN_JOURNAL_H_
#define BENCH_DRIVER_RUN_JOURNAL_H_

#include <cstdint>
#include <string>

#include "results/journal.h"
#include "run/clock_measurement.h"
#include "run/outcome.h"
#include "run/settings.h"

namespace bench {

// Where the clock a run records came from.
enum class ClockOrigin { GIVEN, CPU_FILE_READ, MEASURED, OS_REPORTED, DEFAULT };

// The name a journal line gives an origin: "given", "cpu_file", ...
const char* clockOriginName(ClockOrigin origin);

// `secondsSinceEpoch` (UTC) as "YYYY-MM-DDThh:mm:ssZ".
std::string isoUtcTime(int64_t secondsSinceEpoch);

// A new invocation id: 32 random hexadecimal digits.
std::string newRunId();

class RunJournal {
 public:
  // Lines go to `fileName`; `settings` gives the system as it is recorded,
  // `before` the clock measured before the first test.
  RunJournal(const char* fileName, const RunSettings& settings, ClockOrigin origin,
             const MeasuredClock& before);

  // The line of one recorded result of test `test` with `title`: its
  // outcome, what recording it did ("new", "improved", "not_improved"), the
  // clock measured right after its work, and the result lines it printed.
  JournalEntry entryFor(int test, const std::string& title, const Outcome& outcome,
                        const char* record, const MeasuredClock& afterTest,
                        const std::string& resultText) const;

  // Appends `entry` to the journal. When it cannot be written, says so on
  // standard error once per run; the run goes on, since the result table
  // holds the results.
  void append(const JournalEntry& entry);

  // True when a line of this run reached the journal.
  bool written() const { return written_; }

 private:
  const char* fileName_;
  JournalEntry common_;
  bool warned_ = false;
  bool written_ = false;
};

}  // namespace bench

#endif  // BENCH_DRIVER_RUN_JOURNAL_H_
