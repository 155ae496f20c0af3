// What a test routine reports to the harness: how the test ended and, when it
// measured its work, the time to record.
#ifndef BENCH_RUN_OUTCOME_H_
#define BENCH_RUN_OUTCOME_H_

#include <cstdint>

namespace bench {

enum class OutcomeStatus {
  TIME,       // the work was done and measured; `milliseconds` is its time
  NO_MEMORY,  // the test's memory could not be had (the harness names the size)
  FAILED,     // the test could not do its work, or its result is wrong; the
              // test has said why on standard output or standard error
};

// A test's result. Only TIME carries a time to record.
struct Outcome {
  OutcomeStatus status = OutcomeStatus::FAILED;
  int32_t milliseconds = 0;

  static constexpr Outcome time(int32_t ms) { return Outcome{OutcomeStatus::TIME, ms}; }
  static constexpr Outcome noMemory() { return Outcome{OutcomeStatus::NO_MEMORY, 0}; }
  static constexpr Outcome failed() { return Outcome{OutcomeStatus::FAILED, 0}; }

  bool operator==(const Outcome&) const = default;
};

}  // namespace bench

#endif  // BENCH_RUN_OUTCOME_H_
