// A scoped limit on the size of the files this process may write, which
// makes writes beyond it fail as on a full disk (EFBIG instead of a signal).
// Windows has no such per-process limit: there `available()` is false and
// the object does nothing, so tests that need it skip.
#ifndef BENCH_UNITTESTS_SUPPORT_FILE_SIZE_LIMIT_H_
#define BENCH_UNITTESTS_SUPPORT_FILE_SIZE_LIMIT_H_

#include <cstdint>

namespace bench::testing {

class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(uint64_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

  // True where the system can limit a process's file sizes.
  static bool available();

 private:
  uint64_t previous_ = 0;
  void (*previousHandler_)(int) = nullptr;
};

}  // namespace bench::testing

#endif  // BENCH_UNITTESTS_SUPPORT_FILE_SIZE_LIMIT_H_
