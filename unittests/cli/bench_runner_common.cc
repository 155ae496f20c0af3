// The parts of the runner that are the same on every system.
#include <string>

#include "cli/bench_runner.h"

namespace bench::testing {

std::string fixturePath(const std::string& name) {
  return std::string(BENCH_FIXTURES) + "/" + name;
}

}  // namespace bench::testing
