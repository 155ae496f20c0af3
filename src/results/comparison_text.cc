#include "results/comparison_text.h"

#include <algorithm>

#include "results/text_format.h"

namespace bench {

namespace {

constexpr int VERDICT_WIDTH = 19;  // the longest verdict, "one run: not judged"

void appendSide(std::string* out, const char* label, const JournalSystem& system, const char* which,
                const std::string& journal) {
  appendFormat(out, "%-8s\"%s\" (%d MHz) in \"%s\": %s\n", label, system.description.c_str(),
               system.clock, journal.c_str(), which);
}

// "<label>: test 3" or "<label>: tests 3, 9".
void appendTests(std::string* out, const std::string& label, const std::vector<int32_t>& tests) {
  if (tests.empty()) return;
  appendFormat(out, "%s: test%s", label.c_str(), tests.size() > 1 ? "s" : "");
  for (size_t i = 0; i < tests.size(); ++i) {
    appendFormat(out, "%s%d", i == 0 ? " " : ", ", tests[i]);
  }
  *out += '\n';
}

void appendRow(std::string* out, const ComparedTest& test, int titleWidth) {
  const std::string_view title = shortTitle(test.now->title);
  appendFormat(out, "%2d %-*.*s %8.3f s %5d %8.3f s %5d ", test.now->test, titleWidth,
               static_cast<int>(title.size()), title.data(), test.beforeFacts.medianMs * 0.001,
               test.beforeFacts.repetitions, test.nowFacts.medianMs * 0.001,
               test.nowFacts.repetitions);
  if (test.changeKnown) {
    appendFormat(out, "%+7.1f%%", test.changePercent);
  } else {
    appendFormat(out, "%8s", "n/a");
  }
  const char* verdict = namesOf(test.verdict).text;
  if (test.warnings == 0) {
    appendFormat(out, "  %s\n", verdict);
    return;
  }
  appendFormat(out, "  %-*s ", VERDICT_WIDTH, verdict);
  const char* separator = " ";
  for (ComparisonWarning warning : warningsIn(test.warnings)) {
    appendFormat(out, "%s%s", separator, namesOf(warning).text);
    separator = ", ";
  }
  *out += '\n';
}

}  // namespace

std::string_view shortTitle(std::string_view title) {
  const size_t open = title.rfind(" (");
  if (open != std::string_view::npos && open > 0 && title.back() == ')') {
    title = title.substr(0, open);
  }
  return title;
}

void appendComparisonText(std::string* out, const ComparedSides& sides,
                          const Comparison& comparison) {
  appendSide(out, "Before:", sides.beforeSystem,
             sides.oneJournal ? "the run before the latest" : "the latest run",
             sides.beforeJournal);
  appendSide(out, "Now:", sides.nowSystem, "the latest run", sides.nowJournal);
  if (!comparison.tests.empty()) {
    int titleWidth = 5;
    for (const ComparedTest& test : comparison.tests) {
      titleWidth = std::max(titleWidth, static_cast<int>(shortTitle(test.now->title).size()));
    }
    appendFormat(out, "\n%-*s %10s %5s %10s %5s %8s  %s\n", titleWidth + 3, "Test", "Before",
                 "runs", "Now", "runs", "Change", "Verdict");
    for (const ComparedTest& test : comparison.tests) appendRow(out, test, titleWidth);
  }
  if (!comparison.onlyBefore.empty() || !comparison.onlyNow.empty()) *out += '\n';
  if (sides.oneJournal) {
    appendTests(out, "No earlier run to compare with", comparison.onlyNow);
  } else {
    appendTests(out, "Only in \"" + sides.beforeJournal + "\"", comparison.onlyBefore);
    appendTests(out, "Only in \"" + sides.nowJournal + "\"", comparison.onlyNow);
  }
  if (!comparison.tests.empty()) {
    appendFormat(out,
                 "\nFaster or slower: a rank test of the repetition times gives p < %g and the\n"
                 "median moved by %g%% or more. Fewer than %d repetitions are not judged.\n",
                 CHANGE_P_VALUE_LIMIT, CHANGE_PERCENT_MIN, MIN_JUDGED_REPETITIONS);
  }
}

}  // namespace bench
