#include <windows.h>

#include "platform/interrupt.h"

namespace bench::platform {

namespace {

// Guards the registered names. The console event handler runs on a thread
// of its own, concurrently with the main thread: without the lock it could
// pair an old array with a new count, or walk an array that the main thread
// has just cleared and whose storage is gone. The handler takes the lock
// for good: every event it is given ends the process, and until then the
// main thread may neither register other files, nor leave the test (and so
// save its result), nor create a work file that would outlive the removal.
SRWLOCK namesLock = SRWLOCK_INIT;
const char* const* interruptNames = nullptr;
int interruptCount = 0;

// Runs on a thread of its own that the system starts for the console event
// (Ctrl+C, Ctrl+Break, closing the window, logoff, shutdown). The work files
// are open with delete sharing, so they can be removed while the test still
// has them open; they are gone once the process has ended and closed them.
// Returning FALSE passes the event on to the default handler, which ends the
// process as an unhandled Ctrl+C does. The main thread runs on meanwhile,
// so the C runtime's locks it may hold are no danger here; it only ever
// holds namesLock briefly, never waiting on anything while it does.
BOOL WINAPI onConsoleEvent(DWORD /*event*/) {
  AcquireSRWLockExclusive(&namesLock);  // never released, see namesLock
  for (int i = 0; i < interruptCount; ++i) DeleteFileA(interruptNames[i]);
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
  AcquireSRWLockExclusive(&namesLock);
  interruptNames = names;
  interruptCount = count;
  ReleaseSRWLockExclusive(&namesLock);
}

void clearInterruptFiles() {
  AcquireSRWLockExclusive(&namesLock);
  interruptNames = nullptr;
  interruptCount = 0;
  ReleaseSRWLockExclusive(&namesLock);
}

void beginWorkFileCreation() { AcquireSRWLockShared(&namesLock); }

void endWorkFileCreation() { ReleaseSRWLockShared(&namesLock); }

}  // namespace bench::platform
