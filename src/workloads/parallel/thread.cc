#include "workloads/parallel/thread.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

Thread::Thread()
    : startGate_(0),
      running_(false),
      threadId_(0),
      context_(nullptr),
      timeout_(DEFAULT_THREAD_TIMEOUT) {}

Thread::~Thread() { stop(); }

bool Thread::setup(void* context, int32_t timeoutSeconds) {
  stop();
  running_.store(false);
  threadId_.store(0);
  timeout_.store(timeoutSeconds);
  context_.store(context);
  return true;
}

bool Thread::start() {
  if (running_.load()) return true;
  // A thread that has returned to Idle by itself is joined before a new one
  // takes its place; it is past run() already, so this does not block long.
  handle_.join();
  if (!handle_.start(&Thread::threadProcedure, this)) return false;
  threadId_.store(handle_.id());
  running_.store(true);
  startGate_.release(1);
  return true;
}

bool Thread::stop() {
  if (!handle_.attached()) return true;
  int64_t limitMillis = static_cast<int64_t>(timeout_.load()) * 1000;
  running_.store(false);
  if (!handle_.joinFor(limitMillis)) {
    std::fprintf(stderr, "worker thread %u did not end within %d s; ending the program\n",
                 handle_.id(), static_cast<int>(limitMillis / 1000));
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(THREAD_TIMEOUT_EXIT_STATUS);
  }
  running_.store(false);
  return true;
}

bool Thread::wait() { return handle_.join(); }

void Thread::threadProcedure(void* self) {
  Thread* thread = static_cast<Thread*>(self);
  thread->startGate_.acquire();
  thread->onStart();
  thread->run();
  thread->onExit();
  // Back to Idle; the owner joins the operating-system thread later.
  thread->running_.store(false);
  thread->threadId_.store(0);
  thread->timeout_.store(DEFAULT_THREAD_TIMEOUT);
}

}  // namespace bench
