// Test 16's work, measured: one whole repetition, and each pattern's 4000
// matches on its own, so that a profile shows where the time goes.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/random_james.h"
#include "regex/regular_expression.h"
#include "workloads/cpu/regex_test.h"

namespace bench {
namespace {

void BM_RegexTestRepetition(benchmark::State& state) {
  RegexTestCounts counts;
  for (auto _ : state) {
    regexTestRepetition(&counts, false);
    benchmark::DoNotOptimize(counts.matches[0]);
  }
  state.counters["matches"] = benchmark::Counter(REGEX_TEST_PATTERNS * REGEX_TEST_STRINGS,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RegexTestRepetition)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<char> testSubjects() {
  RandomJames generator(RandomJames::SEED_IJ, RandomJames::SEED_KL);
  std::vector<char> subjects(static_cast<size_t>(REGEX_TEST_STRINGS) * (REGEX_TEST_LENGTH + 1));
  for (int s = 0; s < REGEX_TEST_STRINGS; ++s) {
    fillRegexSubject(&generator, subjects.data() + s * (REGEX_TEST_LENGTH + 1));
  }
  return subjects;
}

// The 4000 matches of one pattern (the argument, 0 to 3).
void BM_RegexPattern(benchmark::State& state) {
  std::vector<char> subjects = testSubjects();
  VRegularExpression expression(REGEX_TEST_PATTERN[state.range(0)]);
  int matched = 0;
  for (auto _ : state) {
    matched = 0;
    for (int s = 0; s < REGEX_TEST_STRINGS; ++s) {
      matched += expression.match(subjects.data() + s * (REGEX_TEST_LENGTH + 1));
    }
    benchmark::DoNotOptimize(matched);
  }
  state.counters["matched"] = matched;
}
BENCHMARK(BM_RegexPattern)->DenseRange(0, REGEX_TEST_PATTERNS - 1)->Unit(benchmark::kMillisecond);

// Compiling the four patterns and laying out their tables for 32 bytes.
void BM_RegexCompile(benchmark::State& state) {
  const char subject[] = "abbaabbabbabaaaabbbbbbabaaababba";
  for (auto _ : state) {
    for (int p = 0; p < REGEX_TEST_PATTERNS; ++p) {
      VRegularExpression expression(REGEX_TEST_PATTERN[p]);
      benchmark::DoNotOptimize(expression.match(subject));
    }
  }
}
BENCHMARK(BM_RegexCompile)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
