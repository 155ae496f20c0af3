#include <process.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/thread_start_limit.h"
#include "platform/threads.h"

namespace bench::platform {

struct Semaphore::Count {
  HANDLE handle;
};

Semaphore::Semaphore(int32_t initial)
    : count_(std::make_unique<Count>(
          Count{CreateSemaphoreW(nullptr, initial, static_cast<LONG>(SEMAPHORE_MAX), nullptr)})) {
  if (count_->handle == nullptr) {
    std::fprintf(stderr, "cannot create a semaphore: error %lu\n", GetLastError());
    std::abort();
  }
}

Semaphore::~Semaphore() { CloseHandle(count_->handle); }
void Semaphore::acquire() { WaitForSingleObject(count_->handle, INFINITE); }
void Semaphore::release(int32_t n) {
  if (n > 0) ReleaseSemaphore(count_->handle, n, nullptr);
}

// Shared by the owner and the thread, so that whichever lets go last frees it.
struct OsThread::State {
  HANDLE thread = nullptr;
  Function function;
  void* argument;
  ~State() {
    if (thread != nullptr) CloseHandle(thread);
  }
};

namespace {

std::atomic<uint32_t> lastThreadId{0};

struct StartPacket {
  std::shared_ptr<OsThread::State> state;
};

unsigned __stdcall threadMain(void* raw) {
  StartPacket* packet = static_cast<StartPacket*>(raw);
  std::shared_ptr<OsThread::State> state = std::move(packet->state);
  delete packet;
  state->function(state->argument);
  return 0;
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
  // The C runtime's own thread start, so that its per-thread data is set up.
  errno = 0;
  uintptr_t handle = _beginthreadex(nullptr, 0, threadMain, packet, 0, nullptr);
  if (handle == 0) {
    int error = errno != 0 ? errno : EAGAIN;
    delete packet;
    std::fprintf(stderr, "cannot start a worker thread: %s\n", std::strerror(error));
    return false;
  }
  state->thread = reinterpret_cast<HANDLE>(handle);
  state_ = std::move(state);
  id_ = ++lastThreadId;
  if (id_ == 0) id_ = ++lastThreadId;
  return true;
}

bool OsThread::join() {
  if (state_ == nullptr) return true;
  WaitForSingleObject(state_->thread, INFINITE);
  state_.reset();
  id_ = 0;
  return true;
}

bool OsThread::joinFor(int64_t millis) {
  if (state_ == nullptr) return true;
  // Waits of INFINITE or more are split, so that a huge limit stays a limit.
  int64_t left = millis < 0 ? 0 : millis;
  for (;;) {
    DWORD step = static_cast<DWORD>(left < INFINITE - 1 ? left : INFINITE - 1);
    if (WaitForSingleObject(state_->thread, step) == WAIT_OBJECT_0) return join();
    left -= step;
    if (left <= 0) return false;
  }
}

}  // namespace bench::platform
