// What this program is and how it was built: the facts a stored result
// needs so that results of different builds are told apart (the same
// sources give the same values on every build, but not the same speed).
//
// Stateless.
#ifndef BENCH_RUN_BUILD_INFO_H_
#define BENCH_RUN_BUILD_INFO_H_

#include <string>

namespace bench {

struct BuildInfo {
  const char* architecture;     // "x86-64", "x86", "arm64" or "other"
  const char* floatingPoint;    // "sse2", "x87", "neon" or "other"
  const char* operatingSystem;  // "linux" or "windows"
  std::string compiler;         // e.g. "gcc 12.2.0"
};

// This build's facts.
BuildInfo thisBuild();

// The build in one word, e.g. "x86-64 sse2 linux": equal exactly when the
// three facts are.
std::string buildName(const BuildInfo& build);

}  // namespace bench

#endif  // BENCH_RUN_BUILD_INFO_H_
