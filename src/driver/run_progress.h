// What a person at a terminal sees of a run, on standard error: before each
// test a line with its place in the run, its title and an estimate of the
// time left; while the program pauses after a result, a countdown that is
// overwritten in place and cleared at the end. Files and pipes get none of
// it, so logs and scripts see the lines they always saw. The lines are plain
// ASCII: a Windows console shows other bytes by its code page, not as UTF-8.
//
// Main thread only.
#ifndef BENCH_DRIVER_RUN_PROGRESS_H_
#define BENCH_DRIVER_RUN_PROGRESS_H_

#include <cstdint>
#include <cstdio>

#include "driver/run_estimate.h"
#include "results/result_table.h"

namespace bench {

class RunProgress {
 public:
  // Shows nothing until show() is called.
  RunProgress() = default;

  // Writes the lines to `terminal` (not owned) from now on.
  void show(std::FILE* terminal) { terminal_ = terminal; }

  // Starts a run of the tests in `mask` (those without a routine are not
  // run); `afterEachResultMs` follows every recorded result.
  void start(uint32_t mask, int64_t afterEachResultMs);

  // Before test `number` of the run starts: its line, with its place among
  // the tests of the run, its title and the time left, estimated from this
  // system's times in `table` (the system of runSettings) and the tests run
  // so far. Flushes standard output first.
  void testStarting(int number, const ResultTable& table);

  // After test `number` recorded `recordedMs`: the estimate learns from it.
  void testRecorded(int number, int32_t recordedMs);

  // Pauses `millis` milliseconds. Shown: in one-second steps, with the
  // seconds left overwritten in place and the line cleared at the end.
  // Otherwise one sleep of `millis`.
  void pause(uint32_t millis);

 private:
  std::FILE* terminal_ = nullptr;
  uint32_t mask_ = 0;
  RunEstimate estimate_{0};
};

}  // namespace bench

#endif  // BENCH_DRIVER_RUN_PROGRESS_H_
