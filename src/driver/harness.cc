#include "driver/harness.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "results/filter.h"
#include "results/listing.h"
#include "results/ref_value.h"
#include "run/clock_measurement.h"
#include "run/repetition.h"
#include "run/result_text.h"

namespace bench {

namespace {

constexpr uint64_t MIB = 1048576;

bool exceeds(uint32_t limit, uint32_t needMiB) {
  return limit != 0 && static_cast<uint64_t>(limit) < needMiB * MIB;
}

void printOtherSystems(const ResultTable& table, int test, int32_t timeMs, const char* description,
                       int32_t clock, const ListingOptions& listing) {
  for (int i = 0; i < table.count(); ++i) {
    const ResultRecord& other = table.record(i);
    if (other.test != test) continue;
    if (std::strcmp(other.description, description) == 0 && other.clock == clock) continue;
    if (!filterAccepts(listing, other.description)) continue;
    std::printf("%-52.52s%7.2fs%5.0f%% ref:%8.2f\n", other.description, other.time * 0.001,
                static_cast<double>(timeMs) * 100 / other.time, refValue(other.time, other.clock));
  }
}

void appendPerTestLog(int test, int32_t timeMs, int32_t clock, const char* description) {
  char name[16];
  std::snprintf(name, sizeof name, "%d.txt", test);
  std::FILE* log = std::fopen(name, "ab");
  if (log == nullptr) return;
  // The description comes from its 128-byte buffer, so the line fits.
  char line[DESCRIPTION_BUFFER_SIZE + 32];
  std::snprintf(line, sizeof line, "%8d %4d %s\n", timeMs, clock, description);
  std::string written = withFileLineEnds(line);
  platform::appendWhole(log, written.data(), written.size());
  std::fclose(log);
}

// One line on standard error; standard output, the recorded time and the
// exit status stay as they are.
void warnOfDisagreement(int test, const Outcome& outcome) {
  const RepetitionSpread& spread = outcome.spread;
  std::fprintf(
      stderr,
      "Test %d: its %d repetitions disagree (fastest %.3f s, median %.3f s, slowest %.3f s;"
      " the result is %.1f%% above the fastest): another program was probably running.\n",
      test, spread.count, spread.fastest * 0.001, spread.median * 0.001, spread.slowest * 0.001,
      repetitionLossPercent(spread, outcome.milliseconds));
}

void countVerdict(RunTally* tally, RecordVerdict verdict) {
  switch (verdict) {
    case RecordVerdict::NEW:
      ++tally->recordedNew;
      break;
    case RecordVerdict::IMPROVED:
      ++tally->improved;
      break;
    case RecordVerdict::NOT_IMPROVED:
      ++tally->notImproved;
      break;
  }
}

// About how long one clock measurement takes: its budget.
constexpr int64_t CLOCK_MEASUREMENT_MS = ClockMeasurementPlan{}.budgetNanos / 1000000;

}  // namespace

const char* recordVerdictName(RecordVerdict verdict) {
  switch (verdict) {
    case RecordVerdict::NEW:
      return "new";
    case RecordVerdict::IMPROVED:
      return "improved";
    case RecordVerdict::NOT_IMPROVED:
      break;
  }
  return "not_improved";
}

uint32_t applyResourceLimits(uint32_t mask, const RunSettings& settings) {
  for (int n = 1; n <= TEST_COUNT; ++n) {
    if ((mask & testBit(n)) == 0) continue;
    const TestEntry& entry = catalogueEntry(n);
    if (exceeds(settings.ramLimit, entry.ramMiB) || exceeds(settings.vmLimit, entry.vmMiB) ||
        exceeds(settings.diskLimit, entry.diskMiB)) {
      mask &= ~testBit(n);
    }
  }
  return mask;
}

RecordVerdict recordResult(ResultTable& table, int test, int32_t timeMs,
                           const ListingOptions& listing) {
  const char* description = runSettings.cpuDescription();
  int32_t clock = runSettings.cpuClock;

  // `old` is the stored time of the last match, read before it is improved.
  bool isNew = true;
  bool improved = false;
  int32_t old = 0;
  for (int i = 0; i < table.count(); ++i) {
    ResultRecord& record = table.record(i);
    if (record.test != test || record.clock != clock ||
        std::strcmp(record.description, description) != 0) {
      continue;
    }
    isNew = false;
    old = record.time;
    if (record.time > timeMs) {
      record.time = timeMs;
      record.enhanced = true;
      table.markDirty();
      improved = true;
    }
  }

  if (!runSettings.briefMode) {
    std::printf("%-52.52s%7.2fs", description, timeMs * 0.001);
    if (isNew) {
      std::printf("   NEW");
    } else {
      std::printf("%+6.2f", (static_cast<double>(timeMs) - old) * 0.001);
    }
    std::printf(" ref:%8.2f\n", refValue(timeMs, clock));
    printOtherSystems(table, test, timeMs, description, clock, listing);
  } else {
    if (runSettings.superBriefMode) {
      std::printf("%2d %-58.58s", test, description);
    } else {
      std::printf("%-61.61s", description);
    }
    std::printf("%9.3fs", timeMs * 0.001);
    if (isNew) {
      std::printf("     NEW\n");
    } else {
      std::printf("%7.2f%%\n", static_cast<double>(timeMs) * 100 / old);
    }
  }
  std::fflush(stdout);

  if (isNew) {
    table.append(description, clock, test, timeMs, true);
    table.markDirty();
  }
  if (runSettings.logPerTest) appendPerTestLog(test, timeMs, clock, description);
  if (!table.saveResults() && table.dirty()) {
    // The table stays dirty: the next save tries again.
    std::fprintf(stderr, "Cannot save the results: %s\n", table.saveFailure().c_str());
  }
  if (isNew) return RecordVerdict::NEW;
  return improved ? RecordVerdict::IMPROVED : RecordVerdict::NOT_IMPROVED;
}

int runOneTest(TestRun& run, const TestEntry& entry, TestRoutine routine) {
  takeResultText();  // nothing an earlier test printed belongs to this one
  const Outcome outcome = routine();
  std::fflush(stdout);
  MeasuredClock afterTest;
  if (run.meter != nullptr) {
    afterTest = run.meter();
    keepLowerClock(&run.lowestAfterTest, afterTest);
  }
  switch (outcome.status) {
    case OutcomeStatus::TIME: {
      if (outcome.milliseconds <= 0) {
        // A time of 0 ms in the shared table would be a plainly wrong result.
        std::fprintf(stderr, "Test %d returned a time of %d ms; the result is not recorded.\n",
                     entry.number, outcome.milliseconds);
        ++run.tally.failed;
        return EXIT_TEST_FAILED;
      }
      if (repetitionsDisagree(outcome.spread, outcome.milliseconds)) {
        warnOfDisagreement(entry.number, outcome);
        run.tally.noisy.push_back(entry.number);
      }
      const RecordVerdict verdict =
          recordResult(*run.table, entry.number, outcome.milliseconds, *run.listing);
      if (run.journal != nullptr) {
        run.journal->append(run.journal->entryFor(
            entry.number, std::string(bareTitle(listingTitle(entry.number))), outcome,
            recordVerdictName(verdict), afterTest, takeResultText()));
      }
      countVerdict(&run.tally, verdict);
      run.progress.testRecorded(entry.number, outcome.milliseconds);
      run.progress.pause(PAUSE_MS);
      return 0;
    }
    case OutcomeStatus::NO_MEMORY:
      std::fprintf(stderr, "%d MB of main memory cannot be allocated!\n", entry.failureMegabytes);
      ++run.tally.lackedMemory;
      return EXIT_TEST_FAILED;
    case OutcomeStatus::FAILED:
      // The test has said why it could not do its work.
      ++run.tally.failed;
      return EXIT_TEST_FAILED;
  }
  return EXIT_TEST_FAILED;
}

int runSelectedTests(TestRun& run) {
  uint32_t mask = applyResourceLimits(runSettings.testMask, runSettings);
  std::printf("Running tests \"%04X\" on \"%s\" (%d MHz):\n", mask, runSettings.cpuDescription(),
              runSettings.cpuClock);
  std::fflush(stdout);
  run.tally.skippedForLimits = std::popcount(runSettings.testMask & ~mask);
  // Every recorded result is followed by the pause and, when the clock is
  // checked, by its measurement.
  run.progress.start(mask, PAUSE_MS + (run.meter != nullptr ? CLOCK_MEASUREMENT_MS : 0));
  int status = 0;
  for (int n = 1; n <= TEST_COUNT; ++n) {
    if ((mask & testBit(n)) == 0) continue;
    const TestEntry& entry = catalogueEntry(n);
    if (entry.routine == nullptr) continue;  // not built into this program
    run.progress.testStarting(n, *run.table);
    if (runOneTest(run, entry, entry.routine) != 0) status = EXIT_TEST_FAILED;
  }
  if (run.table->dirty()) {
    // Every save of this run failed since some result was recorded: say so
    // rather than end as if the results were kept.
    std::fprintf(stderr, "The results of this run were not saved to \"%s\"!\n", RESULT_FILE);
    status = EXIT_TEST_FAILED;
  }
  return status;
}

}  // namespace bench
