#include <windows.h>

#include "platform/memory.h"
#include "platform/memory_system.h"

namespace bench::platform {

void* commitSystemMemory(size_t bytes) {
  // Committed pages are charged against the commit limit at once and read as
  // zeros; a request the system cannot back fails here, not at first touch.
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseMemory(void* region, size_t /*bytes*/) {
  if (region != nullptr) VirtualFree(region, 0, MEM_RELEASE);
}

}  // namespace bench::platform
