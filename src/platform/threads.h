// Threads, counting semaphores and locks for the parallel tests.
//
// `OsThread` runs one function on a new operating-system thread and lets its
// owner join it with or without a time limit. There is no forced termination:
// a thread that does not end within the limit is reported to the caller,
// which must not free anything the thread may still touch.
//
// `Semaphore` and `Mutex` are safe to use from any number of threads;
// an `OsThread` object is used by its owner's thread only.
#ifndef BENCH_PLATFORM_THREADS_H_
#define BENCH_PLATFORM_THREADS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace bench::platform {

// The largest count a semaphore may reach.
inline constexpr std::ptrdiff_t SEMAPHORE_MAX = 0x7fffffff;

// A counting semaphore. acquire() blocks (never spins for long) while the
// count is 0. Each system's own semaphore stands behind it (the C++ library's
// one hangs in some runtimes).
class Semaphore {
 public:
  explicit Semaphore(int32_t initial);
  ~Semaphore();
  Semaphore(const Semaphore&) = delete;
  Semaphore& operator=(const Semaphore&) = delete;

  void acquire();
  // REQUIRES: n >= 0 and the count stays <= SEMAPHORE_MAX.
  void release(int32_t n = 1);

  struct Count;

 private:
  std::unique_ptr<Count> count_;
};

// A mutual-exclusion lock, held only for short bookkeeping.
using Mutex = std::mutex;
using MutexLock = std::lock_guard<std::mutex>;

// One operating-system thread.
class OsThread {
 public:
  using Function = void (*)(void* argument);

  OsThread();
  // Joins a thread that is still attached (blocks until it ends).
  ~OsThread();
  OsThread(const OsThread&) = delete;
  OsThread& operator=(const OsThread&) = delete;

  // Starts `function(argument)` on a new thread that runs at once. Returns
  // false (and prints the reason on standard error) when the system refuses
  // the thread. REQUIRES: !attached().
  bool start(Function function, void* argument);

  // True from a successful start() until join() or a successful joinFor().
  bool attached() const { return state_ != nullptr; }

  // A process-wide unique, non-zero identifier of the attached thread;
  // 0 when none is attached.
  uint32_t id() const { return id_; }

  // Waits without a limit until the thread has ended and detaches it.
  // Returns true; does nothing (and returns true) when none is attached.
  bool join();

  // Waits at most `millis` milliseconds for the thread to end. Returns true
  // (and detaches it) when it ended in time, false when it is still running
  // (it stays attached). Does nothing and returns true when none is attached.
  bool joinFor(int64_t millis);

  struct State;

 private:
  std::shared_ptr<State> state_;
  uint32_t id_;
};

// Test seam: at most `count` further thread creations succeed, later ones
// fail as if the system had refused them. A negative count turns it off.
void setThreadStartLimitForTesting(int count);

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_THREADS_H_
