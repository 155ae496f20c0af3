#include <sys/mman.h>

#include "platform/memory.h"
#include "platform/memory_system.h"

namespace bench::platform {

void* commitSystemMemory(size_t bytes) {
  // Anonymous private mappings are zero-filled by the kernel and counted in
  // its commit charge (no MAP_NORESERVE). Whether a request the system cannot
  // back fails here depends on its overcommit policy: under strict accounting
  // (vm.overcommit_memory = 2) it does; under the default heuristic only a
  // request beyond what memory and swap could ever hold does; with
  // overcommit always allowed none does. Otherwise the shortage shows at
  // first touch, where the kernel's out-of-memory killer ends a process.
  // Pages are materialised on first use, which the tests' timings include.
  void* region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return region == MAP_FAILED ? nullptr : region;
}

void releaseMemory(void* region, size_t bytes) {
  if (region != nullptr) munmap(region, bytes);
}

}  // namespace bench::platform
