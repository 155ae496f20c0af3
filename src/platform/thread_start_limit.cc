#include "platform/thread_start_limit.h"

#include <atomic>

#include "platform/threads.h"

namespace bench::platform {

namespace {
// Starts still permitted; negative while no limit is set.
std::atomic<int> startLimit{-1};
}  // namespace

bool takeThreadStartPermit() {
  int limit = startLimit.load();
  while (limit >= 0) {
    if (limit == 0) return false;
    if (startLimit.compare_exchange_weak(limit, limit - 1)) return true;
  }
  return true;
}

void setThreadStartLimitForTesting(int count) { startLimit.store(count); }

}  // namespace bench::platform
