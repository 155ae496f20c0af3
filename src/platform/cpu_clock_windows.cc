#include <windows.h>

#include "platform/cpu_clock.h"

namespace bench::platform {

int32_t reportedMaxClockMhz() {
  // Windows records each processor's rated clock in MHz under its key in the
  // hardware description; the first processor speaks for all.
  DWORD mhz = 0;
  DWORD size = sizeof mhz;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "~MHz",
                   RRF_RT_REG_DWORD, nullptr, &mhz, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return mhz > INT32_MAX ? INT32_MAX : static_cast<int32_t>(mhz);
}

}  // namespace bench::platform
