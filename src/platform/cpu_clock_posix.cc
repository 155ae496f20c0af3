#include <cstdio>

#include "platform/cpu_clock.h"

namespace bench::platform {

namespace {

// Reads the first number of a small text file; 0 when there is none.
long long readNumberFile(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return 0;
  long long value = 0;
  if (std::fscanf(file, "%lld", &value) != 1) value = 0;
  std::fclose(file);
  return value;
}

}  // namespace

int32_t reportedMaxClockMhz() {
  // The frequency-scaling limits of the processors, in kHz. Processors may be
  // offline or numbered with gaps, so a few missing ones do not end the search.
  long long maxKhz = 0;
  int missing = 0;
  for (int cpu = 0; cpu < 4096 && missing < 64; ++cpu) {
    char path[96];
    std::snprintf(path, sizeof path, "/sys/devices/system/cpu/cpu%d/cpufreq/cpuinfo_max_freq", cpu);
    long long khz = readNumberFile(path);
    if (khz <= 0) {
      ++missing;
      continue;
    }
    if (khz > maxKhz) maxKhz = khz;
  }
  long long mhz = (maxKhz + 500) / 1000;
  return mhz > INT32_MAX ? INT32_MAX : static_cast<int32_t>(mhz);
}

}  // namespace bench::platform
