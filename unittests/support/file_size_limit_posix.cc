#include <sys/resource.h>

#include <csignal>

#include "support/file_size_limit.h"

namespace bench::testing {

ScopedFileSizeLimit::ScopedFileSizeLimit(uint64_t bytes) {
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  previous_ = static_cast<uint64_t>(limit.rlim_cur);
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  rlimit limit;
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(previous_);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previousHandler_);
}

bool ScopedFileSizeLimit::available() { return true; }

}  // namespace bench::testing
