// Helpers for the fuzz targets: a private working directory for the files a
// target writes (results.txt, enhanced.txt, cpu.txt), so they never touch
// the user's.
#ifndef BENCH_FUZZ_FUZZ_SUPPORT_H_
#define BENCH_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace bench::fuzz {

// Makes a private scratch directory the current directory for the lifetime
// of the object, then returns to the directory the fuzzer was started in and
// removes the scratch directory. The fuzzer reads and writes its corpus between
// inputs, so corpus folders given relative to where it was started keep
// working; crash artifacts, written while an input runs, go to that
// directory too (see LLVMFuzzerInitialize in fuzz_support.cc).
class ScopedScratchDirectory {
 public:
  ScopedScratchDirectory();
  ~ScopedScratchDirectory();
  ScopedScratchDirectory(const ScopedScratchDirectory&) = delete;
  ScopedScratchDirectory& operator=(const ScopedScratchDirectory&) = delete;

 private:
  std::filesystem::path home_;
};

// Writes `size` bytes of `data` as the whole file `name`; aborts on failure.
void writeWholeFile(const char* name, const uint8_t* data, size_t size);

}  // namespace bench::fuzz

#endif  // BENCH_FUZZ_FUZZ_SUPPORT_H_
