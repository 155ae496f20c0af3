// Helpers for tests: a scoped temporary working directory, a fake clock and
// pause that make 20-second measurements instantaneous, and output capture.
#ifndef BENCH_UNITTESTS_SUPPORT_TEST_SUPPORT_H_
#define BENCH_UNITTESTS_SUPPORT_TEST_SUPPORT_H_

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "results/journal.h"
#include "run/outcome.h"

namespace bench {

// Lets test failures show an outcome as text.
void PrintTo(const Outcome& outcome, std::ostream* os);

}  // namespace bench

namespace bench::testing {

// Creates a fresh directory and makes it the current directory; restores the
// previous current directory and removes the new one on destruction.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Replaces the platform clock while alive: every reading advances the clock
// by `stepMillis` (so the first timerElapsed() after a timerStart() returns
// exactly `stepMillis`). Replaces the pause with a no-op that counts calls.
class ScopedFakeTime {
 public:
  explicit ScopedFakeTime(int32_t stepMillis = 20000);
  ~ScopedFakeTime();
  ScopedFakeTime(const ScopedFakeTime&) = delete;
  ScopedFakeTime& operator=(const ScopedFakeTime&) = delete;

  // Sets the advance of each following reading.
  void setStep(int32_t stepMillis);
  // Number of pauses requested, and the length of the last one.
  int sleepCount() const;
  uint32_t lastSleepMillis() const;
};

// Writes `contents` to `name` in the current directory.
void writeFile(const std::string& name, const std::string& contents);
// Reads a whole file; empty when it does not exist.
std::string readFile(const std::string& name);
// Reads a whole text file as the C runtime reads text (Windows line ends
// become "\n" on Windows); empty when it does not exist.
std::string readTextFile(const std::string& name);
// `text` with each "\n" replaced by the line end the C runtime writes to
// text files: "\r\n" on Windows, "\n" elsewhere.
std::string withSystemLineEnds(const std::string& text);

// The reason the C runtime gives for opening a directory as a file with
// `mode` (EISDIR on Linux, EACCES on Windows), or 0 when the open succeeds
// (Linux lets a directory be opened for reading; the read fails later).
// Probes with a scratch directory in the current directory.
int directoryOpenErrno(const char* mode);

// The death-test style for statements that start threads. Re-executing the
// test binary ("threadsafe") is the safe one, but a binary run by an emulator
// (a cross build's tests) cannot re-execute itself; there each test runs in
// a process of its own, so forking it ("fast") is safe as well.
#if BENCH_TESTS_EMULATED
inline constexpr const char* THREADED_DEATH_TEST_STYLE = "fast";
#else
inline constexpr const char* THREADED_DEATH_TEST_STYLE = "threadsafe";
#endif

// `err` without the notes and warnings about the CPU clock (a measured
// clock recorded as another figure, a given clock that is not the measured
// one, a clock that dropped during the run): they depend on the machine and
// its load, not on what a test checks.
std::string withoutClockWarnings(const std::string& err);

// `err` without the summary a run of tests ends with (from its first line,
// "Summary: ...", to the end), for tests that check the lines before it.
std::string withoutRunSummary(const std::string& err);

// A journal line of a repeated run of test `test` by a Linux x86-64 build,
// on the system (`description`, `clock`) with that clock measured before
// the run, with the repetition times `repetitionsMs` (the first is taken as
// the recorded time) and no title.
JournalEntry repeatedRunEntry(int32_t test, const std::string& time, const std::string& runId,
                              std::vector<int32_t> repetitionsMs, const std::string& description,
                              int32_t clock);

}  // namespace bench::testing

#endif  // BENCH_UNITTESTS_SUPPORT_TEST_SUPPORT_H_
