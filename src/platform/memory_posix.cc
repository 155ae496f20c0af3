#include <sys/mman.h>

#include <atomic>

#include "platform/memory.h"

namespace bench::platform {

namespace {
std::atomic<size_t> failAtOrAbove{0};
}  // namespace

void* commitMemory(size_t bytes) {
  if (bytes == 0) return nullptr;
  size_t limit = failAtOrAbove.load(std::memory_order_relaxed);
  if (limit != 0 && bytes >= limit) return nullptr;
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

void setCommitFailureForTesting(size_t bytes) {
  failAtOrAbove.store(bytes, std::memory_order_relaxed);
}

}  // namespace bench::platform
