#include "driver/run_journal.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "platform/system_info.h"
#include "run/build_info.h"
#include "run/processor_name.h"
#include "run/repetition.h"

namespace bench {

const char* clockOriginName(ClockOrigin origin) {
  switch (origin) {
    case ClockOrigin::GIVEN:
      return "given";
    case ClockOrigin::CPU_FILE_READ:
      return "cpu_file";
    case ClockOrigin::MEASURED:
      return "measured";
    case ClockOrigin::OS_REPORTED:
      return "os_reported";
    case ClockOrigin::DEFAULT:
      break;
  }
  return "default";
}

std::string isoUtcTime(int64_t secondsSinceEpoch) {
  using namespace std::chrono;
  const sys_seconds time{seconds{secondsSinceEpoch}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::string newRunId() {
  std::random_device device;
  // Mixed with the time, in case the device is a fixed sequence.
  std::seed_seq seed{
      device(), device(), device(), device(),
      static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count())};
  std::mt19937_64 generator(seed);
  char text[40];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(generator()),
                static_cast<unsigned long long>(generator()));
  return text;
}

RunJournal::RunJournal(const char* fileName, const RunSettings& settings, ClockOrigin origin,
                       const MeasuredClock& before)
    : fileName_(fileName) {
  common_.runId = newRunId();
  common_.version = VERSION;
  common_.revision = REVISION;
  const BuildInfo build = thisBuild();
  common_.architecture = build.architecture;
  common_.floatingPoint = build.floatingPoint;
  common_.buildOs = build.operatingSystem;
  common_.compiler = build.compiler;
  common_.description = settings.cpuDescription();
  common_.clock = settings.cpuClock;
  common_.clockSource = clockOriginName(origin);
  common_.clockBeforeMhz = before.source == ClockSource::NONE ? 0 : before.mhz;
  common_.processor = thisProcessorName();
  common_.logicalProcessors = platform::logicalProcessors();
  common_.memoryBytes = platform::physicalMemoryBytes();
  common_.osName = platform::operatingSystemName();
  common_.osVersion = platform::operatingSystemVersion();
}

JournalEntry RunJournal::entryFor(int test, const std::string& title, const Outcome& outcome,
                                  const char* record, const MeasuredClock& afterTest,
                                  const std::string& resultText) const {
  JournalEntry entry = common_;
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  entry.time = isoUtcTime(now);
  entry.clockAfterMhz = afterTest.source == ClockSource::NONE ? 0 : afterTest.mhz;
  entry.test = test;
  entry.title = title;
  entry.timeMs = outcome.milliseconds;
  entry.repeated = outcome.spread.count > 0;
  if (entry.repeated) {
    entry.repetitionsMs = outcome.spread.times;
    entry.noiseJudged = true;
    entry.busy = repetitionsDisagree(outcome.spread, outcome.milliseconds);
    entry.aboveFastestPercent = repetitionLossPercent(outcome.spread, outcome.milliseconds);
  } else {
    entry.repetitionsMs = {outcome.milliseconds};
  }
  // The result lines, without the empty lines some tests print first.
  for (size_t start = 0; start < resultText.size();) {
    size_t end = resultText.find('\n', start);
    if (end == std::string::npos) end = resultText.size();
    if (end > start) entry.output.push_back(resultText.substr(start, end - start));
    start = end + 1;
  }
  entry.checked = outcome.checked;
  entry.record = record;
  return entry;
}

void RunJournal::append(const JournalEntry& entry) {
  std::string failure;
  if (appendJournalLines(fileName_, formatJournalLine(entry), &failure)) {
    written_ = true;
    return;
  }
  if (warned_) return;
  warned_ = true;
  std::fflush(stdout);
  std::fprintf(stderr, "Cannot add to the journal: %s; the results are kept in \"%s\".\n",
               failure.c_str(), RESULT_FILE);
}

}  // namespace bench
