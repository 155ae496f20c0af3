// The system's own write call on a stream's descriptor, one implementation
// per platform, behind appendWhole in platform/files.h. Internal to the
// platform layer.
#ifndef BENCH_PLATFORM_FILES_SYSTEM_H_
#define BENCH_PLATFORM_FILES_SYSTEM_H_

#include <cstddef>
#include <cstdio>

namespace bench::platform {

// Hands up to `size` (> 0) bytes at `data` to the system in one call on the
// descriptor of `stream`, bypassing its buffer. Returns the number of bytes
// written, or -1 (errno set) on failure.
long writeDescriptor(std::FILE* stream, const char* data, size_t size);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_FILES_SYSTEM_H_
