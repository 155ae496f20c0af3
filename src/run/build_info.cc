#include "run/build_info.h"

#include "platform/system_info.h"

namespace bench {

namespace {

#define BENCH_TEXT(x) #x
#define BENCH_NUMBER_TEXT(x) BENCH_TEXT(x)

const char* architecture() {
#if defined(__x86_64__)
  return "x86-64";
#elif defined(__i386__)
  return "x86";
#elif defined(__aarch64__)
  return "arm64";
#else
  return "other";
#endif
}

const char* floatingPoint() {
#if defined(BENCH_X87)
  return "x87";
#elif defined(__SSE2_MATH__)
  return "sse2";
#elif defined(__aarch64__)
  return "neon";
#else
  return "other";
#endif
}

const char* compiler() {
#if defined(__clang__)
  return "clang " BENCH_NUMBER_TEXT(__clang_major__) "." BENCH_NUMBER_TEXT(
      __clang_minor__) "." BENCH_NUMBER_TEXT(__clang_patchlevel__);
#elif defined(__GNUC__)
  return "gcc " BENCH_NUMBER_TEXT(__GNUC__) "." BENCH_NUMBER_TEXT(
      __GNUC_MINOR__) "." BENCH_NUMBER_TEXT(__GNUC_PATCHLEVEL__);
#else
  return "other";
#endif
}

#undef BENCH_NUMBER_TEXT
#undef BENCH_TEXT

}  // namespace

BuildInfo thisBuild() {
  return BuildInfo{architecture(), floatingPoint(), platform::buildOperatingSystem(), compiler()};
}

std::string buildName(const BuildInfo& build) {
  return std::string(build.architecture) + " " + build.floatingPoint + " " + build.operatingSystem;
}

}  // namespace bench
