#include "driver/run_progress.h"

#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "platform/clock.h"
#include "run/settings.h"

namespace bench {

namespace {

// True for the tests of `mask` that this program runs.
bool runs(uint32_t mask, int number) {
  return (mask & testBit(number)) != 0 && catalogueEntry(number).routine != nullptr;
}

}  // namespace

void RunProgress::start(uint32_t mask, int64_t afterEachResultMs) {
  mask_ = mask;
  estimate_ = RunEstimate(afterEachResultMs);
}

void RunProgress::testStarting(int number, const ResultTable& table) {
  if (terminal_ == nullptr) return;
  int place = 0;
  int count = 0;
  std::vector<PlannedTest> rest;
  for (int n = 1; n <= TEST_COUNT; ++n) {
    if (!runs(mask_, n)) continue;
    ++count;
    if (n <= number) ++place;
    if (n < number) continue;
    const TestEntry& entry = catalogueEntry(n);
    rest.push_back(
        PlannedTest{entry.typicalMs, entry.timing,
                    table.bestTime(n, runSettings.cpuDescription(), runSettings.cpuClock)});
  }
  std::string title = listingTitle(number);
  if (!title.empty() && title.back() == ':') title.pop_back();
  std::fflush(stdout);
  std::fprintf(terminal_, "[%d/%d] %s | %s left\n", place, count, title.c_str(),
               roughDuration(estimate_.remainingMillis(rest)).c_str());
  std::fflush(terminal_);
}

void RunProgress::testRecorded(int number, int32_t recordedMs) {
  estimate_.observe(catalogueEntry(number).typicalMs, recordedMs);
}

void RunProgress::pause(uint32_t millis) {
  if (terminal_ == nullptr) {
    platform::sleepMillis(millis);
    return;
  }
  const unsigned seconds = (millis + 999) / 1000;
  int width = 0;
  for (uint32_t left = millis; left > 0;) {
    const uint32_t step = left < 1000 ? left : 1000;
    width = std::fprintf(terminal_, "\rpausing %u s so the machine settles | %u s ", seconds,
                         (left + 999) / 1000);
    std::fflush(terminal_);
    platform::sleepMillis(step);
    left -= step;
  }
  // Blanks the line so that the next line starts clean.
  std::fprintf(terminal_, "\r%*s\r", width > 0 ? width - 1 : 0, "");
  std::fflush(terminal_);
}

}  // namespace bench
