// Thread: the abstract base of the worker threads of the parallel tests.
//
// A Thread wraps one operating-system thread, a start gate (a semaphore the
// new thread waits on before it calls run()), the work context that run()
// reads, and the time-out that stop() allows the thread to end in.
//
// Life: Idle (constructed, or after run() has returned) -> start() ->
// Running -> run() returns -> Idle. The owner constructs the object, calls
// setup() and start(), later wait() or stop(), and destroys it. The owner's
// operations must be called from one thread; `running`, the thread id and
// the time-out are also reset by the worker itself when run() returns, so
// they are atomic. The context is shared with the other workers of one test
// run; run() synchronises through it, Thread itself takes no locks.
//
// A derived class calls stop() in its own destructor: once ~Thread runs, the
// derived part is gone, and a thread still on its way into run() would call
// into a half-destroyed object.
//
// POSIX offers no safe way to terminate a thread. A thread that does not end
// within the time-out of stop() therefore ends the whole program (status 11)
// instead of being left behind to touch memory its owner is about to free.
#ifndef BENCH_WORKLOADS_PARALLEL_THREAD_H_
#define BENCH_WORKLOADS_PARALLEL_THREAD_H_

#include <atomic>
#include <cstdint>

#include "platform/threads.h"

namespace bench {

// Seconds stop() waits for a thread by default.
inline constexpr int32_t DEFAULT_THREAD_TIMEOUT = 30;

// Exit status of the program when a worker does not end within its time-out.
inline constexpr int THREAD_TIMEOUT_EXIT_STATUS = 11;

class Thread {
 public:
  Thread();
  // Stops the thread (see stop()).
  virtual ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Stops a running thread first, then attaches the object to `context` with
  // a stop time-out of `timeoutSeconds`. Returns true.
  virtual bool setup(void* context, int32_t timeoutSeconds);

  // Starts the thread unless it is running already. Returns whether it runs
  // (true without effect when it was running; false when the system refused
  // the thread, with the reason on standard error).
  bool start();

  // Asks nothing of run(): waits for the thread to end by itself, at most the
  // time-out. Returns true. When the time-out expires, prints a diagnostic on
  // standard error and ends the program with THREAD_TIMEOUT_EXIT_STATUS.
  bool stop();

  // Waits without a limit for the thread to end; returns at once when it was
  // never started or has ended already. Returns true.
  bool wait();

  bool running() const { return running_.load(); }
  // Non-zero while a thread is attached and running.
  uint32_t threadId() const { return threadId_.load(); }
  int32_t timeout() const { return timeout_.load(); }

 protected:
  // Called on the new thread before and after run(); empty here.
  virtual void onStart() {}
  virtual void onExit() {}
  // The worker's body, on the new thread.
  virtual void run() = 0;

  void* context() const { return context_.load(); }

 private:
  static void threadProcedure(void* self);

  platform::Semaphore startGate_;
  std::atomic<bool> running_;
  platform::OsThread handle_;  // the owner's side; joined by the owner
  std::atomic<uint32_t> threadId_;
  std::atomic<void*> context_;
  std::atomic<int32_t> timeout_;
};

}  // namespace bench

#endif  // BENCH_WORKLOADS_PARALLEL_THREAD_H_
