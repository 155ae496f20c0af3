#include <sys/mman.h>

#include "platform/memory.h"
#include "platform/memory_system.h"

namespace bench::platform {

void* commitSystemMemory(size_t bytes) {
  // Anonymous private mappings are zero-filled by the kernel and charged
  // against the commit limit (no MAP_NORESERVE), so a request the system
  // cannot back fails here instead of at first touch where it can. Pages are
  // materialised on first use, which the tests' timings include.
  void* region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return region == MAP_FAILED ? nullptr : region;
}

void releaseMemory(void* region, size_t bytes) {
  if (region != nullptr) munmap(region, bytes);
}

}  // namespace bench::platform
