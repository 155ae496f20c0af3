#include "support/test_support.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/clock.h"
#include "platform/fpu.h"

namespace bench::testing {

namespace {

// Tests compute as the program does: in the x87 build every operation
// rounds to double, as main arranges at start-up.
[[maybe_unused]] const bool doublePrecision = (platform::setDoublePrecision(), true);

int64_t fakeNowMillis = 0;
int32_t fakeStepMillis = 20000;
int fakeSleepCount = 0;
uint32_t fakeLastSleep = 0;

platform::ClockReading fakeClock() {
  platform::ClockReading reading{fakeNowMillis / 1000, static_cast<int32_t>(fakeNowMillis % 1000)};
  fakeNowMillis += fakeStepMillis;
  return reading;
}

void fakeSleep(uint32_t millis) {
  ++fakeSleepCount;
  fakeLastSleep = millis;
}

}  // namespace

ScopedTempDir::ScopedTempDir() : previous_(std::filesystem::current_path()) {
  std::random_device entropy;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("bench-test-" + std::to_string(entropy()) + std::to_string(entropy()));
    if (std::filesystem::create_directory(path_)) break;
  }
  std::filesystem::current_path(path_);
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

ScopedFakeTime::ScopedFakeTime(int32_t stepMillis) {
  fakeNowMillis = 1000000;
  fakeStepMillis = stepMillis;
  fakeSleepCount = 0;
  fakeLastSleep = 0;
  platform::setClockForTesting(fakeClock);
  platform::setSleepForTesting(fakeSleep);
}

ScopedFakeTime::~ScopedFakeTime() {
  platform::setClockForTesting(nullptr);
  platform::setSleepForTesting(nullptr);
}

void ScopedFakeTime::setStep(int32_t stepMillis) { fakeStepMillis = stepMillis; }
int ScopedFakeTime::sleepCount() const { return fakeSleepCount; }
uint32_t ScopedFakeTime::lastSleepMillis() const { return fakeLastSleep; }

void writeFile(const std::string& name, const std::string& contents) {
  std::ofstream out(name, std::ios::binary);
  out << contents;
}

std::string readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::string readTextFile(const std::string& name) {
  std::ifstream in(name);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::string withSystemLineEnds(const std::string& text) {
  static const std::string lineEnd = [] {
    std::string probe = (std::filesystem::temp_directory_path() /
                         ("bench-line-end-" + std::to_string(std::random_device()())))
                            .string();
    std::FILE* file = std::fopen(probe.c_str(), "w");
    if (file == nullptr) return std::string("?");
    std::fputc('\n', file);
    std::fclose(file);
    std::string written = readFile(probe);
    std::remove(probe.c_str());
    return written;
  }();
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      result += lineEnd;
    } else {
      result.push_back(c);
    }
  }
  return result;
}

int directoryOpenErrno(const char* mode) {
  const char* probe = "directory-probe";
  std::filesystem::create_directory(probe);
  errno = 0;
  std::FILE* file = std::fopen(probe, mode);
  int reason = file == nullptr ? errno : 0;
  if (file != nullptr) std::fclose(file);
  std::filesystem::remove(probe);
  return reason;
}

std::string withoutClockWarnings(const std::string& err) {
  std::string kept;
  size_t start = 0;
  while (start < err.size()) {
    size_t end = err.find('\n', start);
    end = end == std::string::npos ? err.size() : end + 1;
    std::string line = err.substr(start, end - start);
    if (line.rfind("Warning: the given clock", 0) != 0 &&
        line.rfind("Warning: the CPU clock dropped", 0) != 0 &&
        line.rfind("Clock: measured ", 0) != 0) {
      kept += line;
    }
    start = end;
  }
  return kept;
}

std::string withoutRunSummary(const std::string& err) {
  const size_t start = err.rfind("Summary: ");
  if (start == std::string::npos || (start > 0 && err[start - 1] != '\n')) return err;
  return err.substr(0, start);
}

JournalEntry repeatedRunEntry(int32_t test, const std::string& time, const std::string& runId,
                              std::vector<int32_t> repetitionsMs, const std::string& description,
                              int32_t clock) {
  JournalEntry entry;
  entry.runId = runId;
  entry.time = time;
  entry.version = "1.016";
  entry.revision = 92;
  entry.architecture = "x86-64";
  entry.floatingPoint = "sse2";
  entry.buildOs = "linux";
  entry.compiler = "gcc 12.2.0";
  entry.description = description;
  entry.clock = clock;
  entry.clockSource = "given";
  entry.clockBeforeMhz = clock;
  entry.test = test;
  entry.repeated = true;
  entry.noiseJudged = true;
  entry.repetitionsMs = std::move(repetitionsMs);
  entry.timeMs = entry.repetitionsMs.empty() ? 0 : entry.repetitionsMs.front();
  entry.record = "new";
  return entry;
}

}  // namespace bench::testing

namespace bench {

void PrintTo(const Outcome& outcome, std::ostream* os) {
  static const char* const NAMES[] = {"TIME", "NO_MEMORY", "FAILED"};
  *os << NAMES[static_cast<int>(outcome.status)] << " " << outcome.milliseconds << " ms";
}

}  // namespace bench
