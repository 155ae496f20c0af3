// The brand string, the same on every operating system; what the system
// reports is in cpu_name_posix.cc and cpu_name_windows.cc.
#include "platform/cpu_name.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace bench::platform {

std::string readCpuBrandString() {
#if defined(__x86_64__) || defined(__i386__)
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(0x80000000u, &eax, &ebx, &ecx, &edx) == 0 || eax < 0x80000004u) return {};
  char brand[48];
  for (unsigned int leaf = 0; leaf < 3; ++leaf) {
    __get_cpuid(0x80000002u + leaf, &eax, &ebx, &ecx, &edx);
    const uint32_t words[4] = {eax, ebx, ecx, edx};
    std::memcpy(brand + leaf * 16, words, sizeof words);
  }
  return std::string(brand, sizeof brand);
#else
  return {};
#endif
}

}  // namespace bench::platform
