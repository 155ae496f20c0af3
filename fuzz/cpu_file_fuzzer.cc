// Reads arbitrary bytes as the CPU file: the description always fits its
// buffer and is terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "results/cpu_file.h"
#include "run/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bench::fuzz::ScopedScratchDirectory scratch;
  bench::fuzz::writeWholeFile("cpu.txt", data, size);
  bench::RunSettings settings;
  if (!bench::readCpuFile("cpu.txt", &settings)) std::abort();
  const char* description = settings.cpuDescription();
  if (description < settings.descriptionBuffer ||
      description + std::strlen(description) >=
          settings.descriptionBuffer + bench::DESCRIPTION_BUFFER_SIZE) {
    std::abort();
  }
  return 0;
}
