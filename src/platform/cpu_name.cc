#include "platform/cpu_name.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace bench::platform {

namespace {

// Reads a whole small file; empty when it cannot be read.
std::string readSmallFile(const char* path) {
  std::string text;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return text;
  char buffer[4096];
  size_t length;
  // The files are small; the cap keeps a strange one from filling memory.
  while ((length = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < (1u << 20)) {
    text.append(buffer, length);
  }
  std::fclose(file);
  return text;
}

}  // namespace

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

std::string readProcessorInfoText() { return readSmallFile("/proc/cpuinfo"); }

std::string readBoardModel() {
  std::string model = readSmallFile("/proc/device-tree/model");
  if (model.empty()) model = readSmallFile("/sys/firmware/devicetree/base/model");
  return model;
}

}  // namespace bench::platform
