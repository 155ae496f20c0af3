#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "platform/interrupt.h"

namespace bench::platform {

namespace {

std::atomic<const char* const*> interruptNames{nullptr};
std::atomic<int> interruptCount{0};

// Only async-signal-safe calls: unlink, signal, raise.
void onInterrupt(int signalNumber) {
  const char* const* names = interruptNames.load();
  int count = interruptCount.load();
  if (names != nullptr) {
    for (int i = 0; i < count; ++i) unlink(names[i]);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

void installHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

void setInterruptFiles(const char* const* names, int count) {
  installHandlers();
  interruptCount.store(0);
  interruptNames.store(names);
  interruptCount.store(count);
}

void clearInterruptFiles() {
  interruptCount.store(0);
  interruptNames.store(nullptr);
}

// The handler runs on the thread that creates the files, so a creation is
// never half done when it removes them.
void beginWorkFileCreation() {}

void endWorkFileCreation() {}

}  // namespace bench::platform
