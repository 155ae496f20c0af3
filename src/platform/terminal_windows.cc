#include <io.h>
#include <windows.h>

#include <cstdio>

#include "platform/terminal.h"

namespace bench::platform {

bool isTerminal(std::FILE* stream) {
  // _isatty holds for every character device, the null device among them;
  // only a console handle has a console mode.
  const int descriptor = _fileno(stream);
  if (descriptor < 0) return false;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace bench::platform
