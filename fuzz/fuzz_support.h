// Helpers for the fuzz targets: a private working directory, so that the
// files a target writes (results.txt, enhanced.txt) never touch the user's.
#ifndef BENCH_FUZZ_FUZZ_SUPPORT_H_
#define BENCH_FUZZ_FUZZ_SUPPORT_H_

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench::fuzz {

// Makes a fresh temporary directory the current directory, once per process.
inline void enterScratchDirectory() {
  static bool entered = false;
  if (entered) return;
  auto path = std::filesystem::temp_directory_path() /
              ("bench-fuzz-" + std::to_string(std::rand()) + std::to_string(std::rand()));
  std::filesystem::create_directories(path);
  std::filesystem::current_path(path);
  entered = true;
}

inline void writeWholeFile(const char* name, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace bench::fuzz

#endif  // BENCH_FUZZ_FUZZ_SUPPORT_H_
