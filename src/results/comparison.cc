#include "results/comparison.h"

#include <cmath>

#include "run/clock_measurement.h"

namespace bench {

namespace {

bool judged(const JournalEntry& entry) {
  return entry.repeated &&
         entry.repetitionsMs.size() >= static_cast<size_t>(MIN_JUDGED_REPETITIONS);
}

std::vector<double> timesOf(const JournalEntry& entry) {
  return std::vector<double>(entry.repetitionsMs.begin(), entry.repetitionsMs.end());
}

unsigned warningsOf(const JournalEntry& before, const JournalEntry& now) {
  unsigned warnings = 0;
  if (before.busy) warnings |= BUSY_BEFORE;
  if (now.busy) warnings |= BUSY_NOW;
  if (entryBuildName(before) != entryBuildName(now) || before.compiler != now.compiler ||
      before.version != now.version || before.revision != now.revision) {
    warnings |= OTHER_BUILD;
  }
  // Clocks measured before the runs count as apart beyond a measurement's
  // own spread.
  const bool bothMeasured = before.clockBeforeMhz > 0 && now.clockBeforeMhz > 0;
  if (before.clock != now.clock ||
      (bothMeasured && !withinMeasurementSpread(before.clockBeforeMhz, now.clockBeforeMhz))) {
    warnings |= OTHER_CLOCK;
  }
  return warnings;
}

constexpr ComparisonWarning WARNINGS[] = {BUSY_BEFORE, BUSY_NOW, OTHER_BUILD, OTHER_CLOCK};

}  // namespace

ComparisonNames namesOf(Verdict verdict) {
  switch (verdict) {
    case Verdict::FASTER:
      return {"faster", "faster"};
    case Verdict::SLOWER:
      return {"slower", "slower"};
    case Verdict::NO_CLEAR_CHANGE:
      return {"no clear change", "no_clear_change"};
    case Verdict::NOT_JUDGED:
      break;
  }
  return {"one run: not judged", "not_judged"};
}

ComparisonNames namesOf(ComparisonWarning warning) {
  switch (warning) {
    case BUSY_BEFORE:
      return {"busy before", "busy_before"};
    case BUSY_NOW:
      return {"busy now", "busy_now"};
    case OTHER_BUILD:
      return {"other build", "other_build"};
    case OTHER_CLOCK:
      break;
  }
  return {"other clock", "other_clock"};
}

std::vector<ComparisonWarning> warningsIn(unsigned warnings) {
  std::vector<ComparisonWarning> list;
  for (ComparisonWarning warning : WARNINGS) {
    if ((warnings & warning) != 0) list.push_back(warning);
  }
  return list;
}

ComparedTest compareRuns(const JournalEntry& before, const JournalEntry& now) {
  ComparedTest compared;
  compared.before = &before;
  compared.now = &now;
  compared.beforeFacts = evidenceOf(before);
  compared.nowFacts = evidenceOf(now);
  const double beforeMs = compared.beforeFacts.medianMs;
  compared.changeKnown = beforeMs > 0;
  if (compared.changeKnown) {
    compared.changePercent = (compared.nowFacts.medianMs - beforeMs) / beforeMs * 100;
  }
  compared.warnings = warningsOf(before, now);
  if (!judged(before) || !judged(now)) return compared;

  compared.tested = true;
  compared.rank = mannWhitneyU(timesOf(before), timesOf(now));
  const bool changed = compared.changeKnown && compared.rank.pValue < CHANGE_P_VALUE_LIMIT &&
                       std::fabs(compared.changePercent) >= CHANGE_PERCENT_MIN;
  compared.verdict = !changed                     ? Verdict::NO_CLEAR_CHANGE
                     : compared.changePercent < 0 ? Verdict::FASTER
                                                  : Verdict::SLOWER;
  return compared;
}

Comparison compareSides(const RunsByTest& before, const RunsByTest& now) {
  Comparison comparison;
  for (const auto& [test, entry] : before) {
    auto other = now.find(test);
    if (other == now.end()) {
      comparison.onlyBefore.push_back(test);
    } else {
      comparison.tests.push_back(compareRuns(*entry, *other->second));
    }
  }
  for (const auto& [test, entry] : now) {
    if (before.find(test) == before.end()) comparison.onlyNow.push_back(test);
  }
  return comparison;
}

}  // namespace bench
