// The parts of the runner that are the same on every system.
#include <string>

#include "cli/bench_runner.h"

namespace bench::testing {

std::string withoutClockWarnings(const std::string& err) {
  std::string kept;
  size_t start = 0;
  while (start < err.size()) {
    size_t end = err.find('\n', start);
    end = end == std::string::npos ? err.size() : end + 1;
    std::string line = err.substr(start, end - start);
    if (line.rfind("Warning: the given clock", 0) != 0 &&
        line.rfind("Warning: the CPU clock dropped", 0) != 0) {
      kept += line;
    }
    start = end;
  }
  return kept;
}

std::string fixturePath(const std::string& name) {
  return std::string(BENCH_FIXTURES) + "/" + name;
}

}  // namespace bench::testing
