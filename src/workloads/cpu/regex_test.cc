#include "workloads/cpu/regex_test.h"

#include <cstdio>
#include <memory>

#include "core/random_james.h"
#include "regex/regular_expression.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

const char* const REGEX_TEST_PATTERN[REGEX_TEST_PATTERNS] = {
    "(.*a){16,16}.*",               // at least 16 letters a
    "(.*aa){8,8}.*",                // at least 8 non-overlapping pairs aa
    "^(.*a)a[^a]a[^a]a^(a.*)",      // ababa with no a right before or after it
    ".*(aaaa.*bbbb|bbbb.*aaaa).*",  // both aaaa and bbbb
};

namespace {

// Progress is shown every this many strings.
constexpr int PROGRESS_STEP = 128;

}  // namespace

void regexTestRepetition(RegexTestCounts* counts, bool showProgress) {
  char text[REGEX_TEST_LENGTH + 1];
  RandomJames generator(RandomJames::SEED_IJ, RandomJames::SEED_KL);
  std::unique_ptr<VRegularExpression> expressions[REGEX_TEST_PATTERNS];
  for (int p = 0; p < REGEX_TEST_PATTERNS; ++p) {
    expressions[p] = std::make_unique<VRegularExpression>(REGEX_TEST_PATTERN[p]);
  }
  *counts = RegexTestCounts();
  for (int s = 0; s < REGEX_TEST_STRINGS; ++s) {
    ++counts->strings;
    fillRegexSubject(&generator, text);
    for (int p = 0; p < REGEX_TEST_PATTERNS; ++p) {
      if (expressions[p]->match(text)) ++counts->matches[p];
    }
    if (showProgress && counts->strings % PROGRESS_STEP == 0) {
      printProgress(counts->strings * 100.0 / REGEX_TEST_STRINGS);
    }
  }
  for (int p = REGEX_TEST_PATTERNS - 1; p >= 0; --p) expressions[p].reset();
}

Outcome regularExpressionTest(RegexTestCounts* counts) {
  RegexTestCounts last;
  Repetitions repetitions = repeatForMeasuringTime([&last]() -> bool {
    regexTestRepetition(&last, true);
    return true;
  });
  const int32_t result = repetitions.average;
  last.repetitions = repetitions.count;
  if (!runSettings.superBriefMode) {
    printResult("Regular expressions (%dk,%d): %6.4f-%6.4f-%6.4f-%6.4f, time: %.2f sec\n",
                REGEX_TEST_PATTERNS * REGEX_TEST_STRINGS / 1000, REGEX_TEST_LENGTH,
                last.matches[0] / 4000.0, last.matches[1] / 4000.0, last.matches[2] / 4000.0,
                last.matches[3] / 4000.0, result * 0.001);
  }
  if (counts != nullptr) *counts = last;
  return Outcome::time(result, repetitions.spread);
}

}  // namespace bench
