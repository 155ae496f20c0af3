// The test seam that limits how many threads may start, shared by every
// platform's thread implementation. Internal to the platform layer.
#ifndef BENCH_PLATFORM_THREAD_START_LIMIT_H_
#define BENCH_PLATFORM_THREAD_START_LIMIT_H_

namespace bench::platform {

// Consumes one permitted start of the seam set by
// setThreadStartLimitForTesting; false when none is left. Always true while
// no limit is set. Safe from any thread.
bool takeThreadStartPermit();

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_THREAD_START_LIMIT_H_
