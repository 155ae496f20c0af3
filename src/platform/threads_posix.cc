#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <semaphore>

#include "platform/thread_start_limit.h"
#include "platform/threads.h"

namespace bench::platform {

struct Semaphore::Count {
  explicit Count(int32_t initial) : value(initial) {}
  std::counting_semaphore<SEMAPHORE_MAX> value;
};

Semaphore::Semaphore(int32_t initial) : count_(std::make_unique<Count>(initial)) {}
Semaphore::~Semaphore() = default;
void Semaphore::acquire() { count_->value.acquire(); }
void Semaphore::release(int32_t n) {
  if (n > 0) count_->value.release(n);
}

// Shared by the owner and the thread, so that whichever lets go last frees
// it: the thread signals `done` after its function has returned.
struct OsThread::State {
  pthread_t thread;
  Function function;
  void* argument;
  std::mutex lock;
  std::condition_variable doneSignal;
  bool done = false;
};

namespace {

std::atomic<uint32_t> lastThreadId{0};

struct StartPacket {
  std::shared_ptr<OsThread::State> state;
};

void* threadMain(void* raw) {
  StartPacket* packet = static_cast<StartPacket*>(raw);
  std::shared_ptr<OsThread::State> state = std::move(packet->state);
  delete packet;
  state->function(state->argument);
  {
    std::lock_guard<std::mutex> hold(state->lock);
    state->done = true;
  }
  state->doneSignal.notify_all();
  return nullptr;
}

}  // namespace

OsThread::OsThread() : id_(0) {}

OsThread::~OsThread() { join(); }

bool OsThread::start(Function function, void* argument) {
  if (!takeThreadStartPermit()) {
    std::fprintf(stderr, "cannot start a worker thread: %s\n", std::strerror(EAGAIN));
    return false;
  }
  auto state = std::make_shared<State>();
  state->function = function;
  state->argument = argument;
  StartPacket* packet = new StartPacket{state};
  int error = pthread_create(&state->thread, nullptr, threadMain, packet);
  if (error != 0) {
    delete packet;
    std::fprintf(stderr, "cannot start a worker thread: %s\n", std::strerror(error));
    return false;
  }
  state_ = std::move(state);
  id_ = ++lastThreadId;
  if (id_ == 0) id_ = ++lastThreadId;
  return true;
}

bool OsThread::join() {
  if (state_ == nullptr) return true;
  pthread_join(state_->thread, nullptr);
  state_.reset();
  id_ = 0;
  return true;
}

bool OsThread::joinFor(int64_t millis) {
  if (state_ == nullptr) return true;
  {
    std::unique_lock<std::mutex> hold(state_->lock);
    if (!state_->doneSignal.wait_for(hold, std::chrono::milliseconds(millis),
                                     [this] { return state_->done; })) {
      return false;
    }
  }
  // The function has returned; the thread is only unwinding now.
  return join();
}

}  // namespace bench::platform
