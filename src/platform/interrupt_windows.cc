#include <windows.h>

#include <atomic>

#include "platform/interrupt.h"

namespace bench::platform {

namespace {

std::atomic<const char* const*> interruptNames{nullptr};
std::atomic<int> interruptCount{0};

// Runs on a thread of its own that the system starts for the console event
// (Ctrl+C, Ctrl+Break, closing the window, logoff, shutdown). The work files
// are open with delete sharing, so they can be removed while the test still
// writes them. Returning FALSE passes the event on to the default handler,
// which ends the process as an unhandled Ctrl+C does.
BOOL WINAPI onConsoleEvent(DWORD /*event*/) {
  const char* const* names = interruptNames.load();
  int count = interruptCount.load();
  if (names != nullptr) {
    for (int i = 0; i < count; ++i) DeleteFileA(names[i]);
  }
  return FALSE;
}

void installHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace

void setInterruptFiles(const char* const* names, int count) {
  installHandler();
  interruptCount.store(0);
  interruptNames.store(names);
  interruptCount.store(count);
}

void clearInterruptFiles() {
  interruptCount.store(0);
  interruptNames.store(nullptr);
}

}  // namespace bench::platform
