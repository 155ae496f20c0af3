#include "platform/memory.h"

#include <atomic>

#include "platform/memory_system.h"

namespace bench::platform {

namespace {
std::atomic<size_t> failAtOrAbove{0};
}  // namespace

void* commitMemory(size_t bytes) {
  if (bytes == 0) return nullptr;
  size_t limit = failAtOrAbove.load(std::memory_order_relaxed);
  if (limit != 0 && bytes >= limit) return nullptr;
  return commitSystemMemory(bytes);
}

void setCommitFailureForTesting(size_t bytes) {
  failAtOrAbove.store(bytes, std::memory_order_relaxed);
}

}  // namespace bench::platform
