// What a test routine reports to the harness: how the test ended and, when it
// measured its work, the time to record.
#ifndef BENCH_RUN_OUTCOME_H_
#define BENCH_RUN_OUTCOME_H_

#include <cstdint>
#include <vector>

namespace bench {

enum class OutcomeStatus {
  TIME,       // the work was done and measured; `milliseconds` is its time
  NO_MEMORY,  // the test's memory could not be had (the harness names the size)
  FAILED,     // the test could not do its work, or its result is wrong; the
              // test has said why on standard output or standard error
};

// How the repetitions of a repeated test were spread: their number and the
// fastest, median and slowest time of one repetition in milliseconds (the
// median of an even number is the mean of the two middle times), and every
// repetition's own time in the order they ran. `count` is 0 and `times`
// empty for a test that ran its work once.
struct RepetitionSpread {
  int32_t count = 0;
  int32_t fastest = 0;
  double median = 0;
  int32_t slowest = 0;
  std::vector<int32_t> times;

  bool operator==(const RepetitionSpread&) const = default;
};

// A test's result. Only TIME carries a time to record.
struct Outcome {
  OutcomeStatus status = OutcomeStatus::FAILED;
  int32_t milliseconds = 0;
  RepetitionSpread spread;  // of a repeated test's TIME; empty otherwise
  // True when the test checked its own result (the order of what it sorted,
  // a digest) and the check held; a test whose check fails reports FAILED.
  bool checked = false;

  static Outcome time(int32_t ms, const RepetitionSpread& spread = {}) {
    return Outcome{OutcomeStatus::TIME, ms, spread, false};
  }
  // A time whose work passed the test's own check.
  static Outcome checkedTime(int32_t ms, const RepetitionSpread& spread = {}) {
    return Outcome{OutcomeStatus::TIME, ms, spread, true};
  }
  static Outcome noMemory() { return Outcome{OutcomeStatus::NO_MEMORY, 0, {}, false}; }
  static Outcome failed() { return Outcome{OutcomeStatus::FAILED, 0, {}, false}; }

  // Outcomes are equal when they report the same status and time; the
  // spread is a note on how far that time can be trusted.
  bool operator==(const Outcome& other) const {
    return status == other.status && milliseconds == other.milliseconds;
  }
};

}  // namespace bench

#endif  // BENCH_RUN_OUTCOME_H_
