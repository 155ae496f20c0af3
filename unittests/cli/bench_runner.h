// Runs the bench binary with given arguments in the current directory and
// collects its exit status and both output streams.
#ifndef BENCH_UNITTESTS_CLI_BENCH_RUNNER_H_
#define BENCH_UNITTESTS_CLI_BENCH_RUNNER_H_

#include <string>
#include <vector>

namespace bench::testing {

struct BenchRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs BENCH_BINARY with `args` (each passed as one argument) in the
// current directory, standard input from /dev/null. Its output is collected
// outside the directory, which may be unwritable. With a `fileSizeLimit`,
// the program may not write files beyond that many bytes (writes past it
// fail with EFBIG, as on a full disk; this also holds for root).
BenchRun runBench(const std::vector<std::string>& args, unsigned long fileSizeLimit = 0);

// As runBench, with every sleep of the program returning at once (a
// preloaded library replaces it), for runs whose pause after a recorded
// result would only make the test wait. Built on POSIX systems only.
BenchRun runBenchWithoutPause(const std::vector<std::string>& args);

// The shell's variable assignments that make every sleep of a bench binary
// started after them return at once (see runBenchWithoutPause), for tests
// that build their own command line. POSIX only.
std::string noPauseShellPrefix();

// The shell words that start BENCH_BINARY (after the emulator's, in a cross
// build), quoted, for tests that build their own command line. POSIX only.
std::string benchShellCommand();

// Starts BENCH_BINARY with `args` in the current directory without waiting
// for it, its standard output discarded. Returns the child's process id
// (negative on failure); the caller waits for it.
int startBench(std::vector<std::string> args);

// Sends Ctrl+Break to a program started by startBench (on Windows each one
// starts in a process group of its own, so the event reaches it alone) and
// waits up to `timeoutMs` milliseconds for it to end. Returns its exit code,
// or -1 when the event could not be sent or the program did not end in time
// (it is then ended as killBench does). Built on Windows only.
long interruptBench(int child, unsigned timeoutMs);

// Ends a program started by startBench at once, as a power cut or the task
// manager would (SIGKILL, TerminateProcess), and waits for it.
void killBench(int child);

// The path of a fixture file.
std::string fixturePath(const std::string& name);

}  // namespace bench::testing

#endif  // BENCH_UNITTESTS_CLI_BENCH_RUNNER_H_
