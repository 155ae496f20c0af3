#include <windows.h>

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
  // Committed pages are charged against the commit limit at once and read as
  // zeros; a request the system cannot back fails here, not at first touch.
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseMemory(void* region, size_t /*bytes*/) {
  if (region != nullptr) VirtualFree(region, 0, MEM_RELEASE);
}

void setCommitFailureForTesting(size_t bytes) {
  failAtOrAbove.store(bytes, std::memory_order_relaxed);
}

}  // namespace bench::platform
