// What a test routine reports to the harness.
#ifndef BENCH_RUN_OUTCOME_H_
#define BENCH_RUN_OUTCOME_H_

#include <cstdint>

namespace bench {

// A test routine's result: its time in milliseconds, 0 (read with the
// catalogue row's ZeroMeaning), or TEST_FAILED.
inline constexpr int32_t TEST_FAILED = -1;

}  // namespace bench

#endif  // BENCH_RUN_OUTCOME_H_
