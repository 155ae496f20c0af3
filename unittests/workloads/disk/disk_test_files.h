// Helpers for the tests of the disk tests: raw files of doubles, and an
// obstacle that makes a file impossible to create. The scoped file-size limit
// is in support/file_size_limit.h.
#ifndef BENCH_UNITTESTS_TESTS_DISK_DISK_TEST_FILES_H_
#define BENCH_UNITTESTS_TESTS_DISK_DISK_TEST_FILES_H_

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/test_support.h"

namespace bench::testing {

// The values of a raw file of doubles in the current directory.
inline std::vector<double> readDoubles(const std::string& name) {
  std::string bytes = readFile(name);
  std::vector<double> values(bytes.size() / sizeof(double));
  if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
  return values;
}

inline void writeDoubles(const std::string& name, const std::vector<double>& values) {
  writeFile(name, std::string(reinterpret_cast<const char*>(values.data()),
                              values.size() * sizeof(double)));
}

inline bool fileExists(const std::string& name) { return std::filesystem::exists(name); }

inline uintmax_t fileSize(const std::string& name) { return std::filesystem::file_size(name); }

// A non-empty directory where a work file should be: it can be neither
// created nor deleted, also by root.
inline void blockFileName(const std::string& name) {
  std::filesystem::create_directory(name);
  writeFile(name + "/keep", "x");
}

}  // namespace bench::testing

#endif  // BENCH_UNITTESTS_TESTS_DISK_DISK_TEST_FILES_H_
