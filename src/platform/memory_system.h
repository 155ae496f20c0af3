// The system's own committed memory, one implementation per platform, behind
// the test seam of platform/memory.h. Internal to the platform layer.
#ifndef BENCH_PLATFORM_MEMORY_SYSTEM_H_
#define BENCH_PLATFORM_MEMORY_SYSTEM_H_

#include <cstddef>

namespace bench::platform {

// Asks the system for `bytes` (> 0) committed, zero-filled, read-write bytes;
// null when it refuses. Released with releaseMemory.
void* commitSystemMemory(size_t bytes);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_MEMORY_SYSTEM_H_
