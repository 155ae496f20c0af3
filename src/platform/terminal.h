// Whether a standard stream is shown to a person: a terminal on POSIX
// systems, a console on Windows. Output meant only for a person (a line that
// is overwritten in place, an estimate of the time left) is written where
// this holds; files and pipes keep exactly the lines they always had.
//
// Thread-compatible: no shared state.
#ifndef BENCH_PLATFORM_TERMINAL_H_
#define BENCH_PLATFORM_TERMINAL_H_

#include <cstdio>

namespace bench::platform {

// True when `stream` writes to a terminal (POSIX) or to a console window
// (Windows). False for files, pipes, the null device, and streams without a
// descriptor.
bool isTerminal(std::FILE* stream);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_TERMINAL_H_
