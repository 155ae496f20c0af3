#include "results/comparison_json.h"

#include "results/text_escape.h"
#include "results/text_format.h"

namespace bench {

namespace {

void appendSystem(std::string* out, const JournalSystem& system) {
  *out += "{\"description\": ";
  appendJsonString(out, system.description);
  appendFormat(out, ", \"clock_mhz\": %d}", system.clock);
}

void appendRun(std::string* out, const JournalEntry& entry, const Evidence& facts) {
  *out += "{\"run_id\": ";
  appendJsonString(out, entry.runId);
  *out += ", \"time\": ";
  appendJsonString(out, entry.time);
  *out += ", \"build\": ";
  appendJsonString(out, facts.build);
  *out += ", \"compiler\": ";
  appendJsonString(out, entry.compiler);
  appendFormat(out,
               ", \"timed\": \"%s\", \"repetitions\": %d, \"median_ms\": %.1f, "
               "\"fastest_ms\": %d, \"slowest_ms\": %d, \"noise\": %s, \"clock_before_mhz\": ",
               entry.repeated ? "repeated" : "once", facts.repetitions, facts.medianMs,
               facts.fastestMs, facts.slowestMs,
               !facts.noiseJudged ? "null" : (facts.busy ? "\"busy\"" : "\"quiet\""));
  if (entry.clockBeforeMhz > 0) {
    appendFormat(out, "%d}", entry.clockBeforeMhz);
  } else {
    *out += "null}";
  }
}

void appendTest(std::string* out, const ComparedTest& test) {
  appendFormat(out, "\n  {\"test\": %d, \"title\": ", test.now->test);
  appendJsonString(out, test.now->title);
  *out += ",\n   \"before\": ";
  appendRun(out, *test.before, test.beforeFacts);
  *out += ",\n   \"now\": ";
  appendRun(out, *test.now, test.nowFacts);
  *out += ",\n   \"change_percent\": ";
  if (test.changeKnown) {
    appendFormat(out, "%.3f", test.changePercent);
  } else {
    *out += "null";
  }
  *out += ", \"p_value\": ";
  if (test.tested) {
    appendFormat(out, "%.6g", test.rank.pValue);
  } else {
    *out += "null";
  }
  appendFormat(out, ", \"verdict\": \"%s\", \"warnings\": [", namesOf(test.verdict).token);
  const char* separator = "";
  for (ComparisonWarning warning : warningsIn(test.warnings)) {
    appendFormat(out, "%s\"%s\"", separator, namesOf(warning).token);
    separator = ", ";
  }
  *out += "]}";
}

void appendNumbers(std::string* out, const std::vector<int32_t>& numbers) {
  *out += '[';
  for (size_t i = 0; i < numbers.size(); ++i) {
    appendFormat(out, "%s%d", i == 0 ? "" : ", ", numbers[i]);
  }
  *out += ']';
}

}  // namespace

void appendComparisonJson(std::string* out, const ComparedSides& sides,
                          const Comparison& comparison) {
  appendFormat(out, "{\"schema\": %d, \"comparison\": \"%s\",\n \"before\": ", COMPARISON_SCHEMA,
               sides.oneJournal ? "latest_against_previous" : "against_journal");
  appendSystem(out, sides.beforeSystem);
  *out += ",\n \"now\": ";
  appendSystem(out, sides.nowSystem);
  appendFormat(out,
               ",\n \"thresholds\": {\"p_value_below\": %g, \"change_percent_min\": %g, "
               "\"repetitions_min\": %d},\n \"tests\": [",
               CHANGE_P_VALUE_LIMIT, CHANGE_PERCENT_MIN, MIN_JUDGED_REPETITIONS);
  for (size_t i = 0; i < comparison.tests.size(); ++i) {
    if (i > 0) *out += ',';
    appendTest(out, comparison.tests[i]);
  }
  *out += comparison.tests.empty() ? "],\n \"only_before\": " : "\n ],\n \"only_before\": ";
  appendNumbers(out, comparison.onlyBefore);
  *out += ", \"only_now\": ";
  appendNumbers(out, comparison.onlyNow);
  *out += "}\n";
}

}  // namespace bench
