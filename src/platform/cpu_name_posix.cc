#include <cstdio>

#include "platform/cpu_name.h"

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

std::string readProcessorInfoText() { return readSmallFile("/proc/cpuinfo"); }

std::string readBoardModel() {
  std::string model = readSmallFile("/proc/device-tree/model");
  if (model.empty()) model = readSmallFile("/sys/firmware/devicetree/base/model");
  return model;
}

}  // namespace bench::platform
