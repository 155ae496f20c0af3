#include <sys/utsname.h>
#include <unistd.h>

#include <thread>

#include "platform/system_info.h"

namespace bench::platform {

const char* buildOperatingSystem() { return "linux"; }

// The node name of uname() is the host name: it is never read.
std::string operatingSystemName() {
  utsname names{};
  if (uname(&names) != 0) return "";
  return names.sysname;
}

std::string operatingSystemVersion() {
  utsname names{};
  if (uname(&names) != 0) return "";
  return names.release;
}

int logicalProcessors() { return static_cast<int>(std::thread::hardware_concurrency()); }

uint64_t physicalMemoryBytes() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

}  // namespace bench::platform
