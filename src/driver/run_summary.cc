#include "driver/run_summary.h"

#include "run/settings.h"

namespace bench {

namespace {

// "1 test", "3 tests".
std::string count(int n, const char* singular, const char* plural) {
  return std::to_string(n) + " " + (n == 1 ? singular : plural);
}

// Appends "<n> <what>" to the comma-separated `list` when n is not 0.
void addPart(std::string* list, int n, const char* what) {
  if (n == 0) return;
  if (!list->empty()) *list += ", ";
  *list += std::to_string(n) + " " + what;
}

std::string testsLines(const RunSummary& summary) {
  const RunTally& tally = summary.tally;
  std::string line = "Summary: " + count(tally.ran(), "test", "tests") + " ran in " +
                     wallDuration(summary.wallMillis);
  std::string parts;
  addPart(&parts, tally.recordedNew, "new");
  addPart(&parts, tally.improved, "improved");
  addPart(&parts, tally.notImproved, "not improved");
  addPart(&parts, tally.failed, "failed");
  addPart(&parts, tally.lackedMemory, "lacked memory");
  if (!parts.empty()) line += ": " + parts;
  line += ".\n";
  if (tally.skippedForLimits > 0) {
    line += count(tally.skippedForLimits, "test was", "tests were") +
            " skipped for the memory or disk limits.\n";
  }
  return line;
}

std::string noiseLine(const std::vector<int>& noisy) {
  std::string tests;
  for (size_t i = 0; i < noisy.size(); ++i) {
    if (i > 0) tests += i + 1 == noisy.size() ? " and " : ", ";
    tests += std::to_string(noisy[i]);
  }
  return std::string("Noise warning: ") + (noisy.size() == 1 ? "test " : "tests ") + tests +
         " (another program was probably running).\n";
}

std::string clockLine(const RunSummary& summary) {
  std::string line = "Clock: " + std::to_string(summary.recordedMhz) + " MHz recorded";
  switch (summary.before.source) {
    case ClockSource::CHAIN:
      line += "; measured " + std::to_string(summary.before.mhz) + " MHz";
      if (summary.lowestAfter.source == ClockSource::CHAIN) {
        line += ", lowest " + std::to_string(summary.lowestAfter.mhz) + " MHz after a test";
      }
      break;
    case ClockSource::OS_REPORTED:
      line += "; the operating system reports " + std::to_string(summary.before.mhz) + " MHz";
      break;
    case ClockSource::NONE:
      line += "; not measured";
      break;
  }
  return line + ".\n";
}

std::string resultsLines(const RunSummary& summary) {
  if (summary.tally.recorded() == 0) return "Nothing was recorded.\n";
  if (!summary.saved) return std::string("The results were not saved.\n");
  std::string where = std::string("Results are in ") + RESULT_FILE;
  if (summary.journal != nullptr) where += std::string(" and in the journal ") + summary.journal;
  std::string text = where + ".\n" +
                     "See them with \"bench -l\", or as a web page with \"bench -lh > "
                     "results.html\".\n";
  if (!summary.comparison.empty()) {
    text += "Compare it with the earlier run: " + summary.comparison + "\n";
  }
  return text;
}

}  // namespace

std::string wallDuration(int64_t millis) {
  const int64_t seconds = millis < 0 ? 0 : (millis + 500) / 1000;
  std::string text;
  if (seconds >= 3600) text += std::to_string(seconds / 3600) + " h ";
  if (seconds >= 60) text += std::to_string(seconds / 60 % 60) + " min ";
  return text + std::to_string(seconds % 60) + " s";
}

std::string summaryText(const RunSummary& summary) {
  std::string text = testsLines(summary);
  if (!summary.tally.noisy.empty()) text += noiseLine(summary.tally.noisy);
  return text + clockLine(summary) + resultsLines(summary);
}

}  // namespace bench
