// Floating-point unit set-up of the process.
//
// Call from the main thread at start-up, before any floating-point work.
#ifndef BENCH_PLATFORM_FPU_H_
#define BENCH_PLATFORM_FPU_H_

namespace bench::platform {

// In the build that generates x87 code, sets the unit's precision control
// to 53 bits, so that every operation rounds its result to double as in the
// SSE2 build and both builds print the same values. Does nothing in builds
// whose floating-point code is already double precision.
void setDoublePrecision();

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_FPU_H_
