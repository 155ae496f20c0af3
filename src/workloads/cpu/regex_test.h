// Test 16: compiles four fixed patterns and matches them against 4000
// pseudo-random strings of 32 letters a and b, repeated for the measuring
// time.
//
// Runs on the calling thread; owns everything it creates.
#ifndef BENCH_WORKLOADS_CPU_REGEX_TEST_H_
#define BENCH_WORKLOADS_CPU_REGEX_TEST_H_

#include <cstdint>

#include "run/outcome.h"

namespace bench {

inline constexpr int REGEX_TEST_STRINGS = 4000;
inline constexpr int REGEX_TEST_LENGTH = 32;
inline constexpr int REGEX_TEST_PATTERNS = 4;

// The four patterns, in the order they are compiled and matched.
extern const char* const REGEX_TEST_PATTERN[REGEX_TEST_PATTERNS];

// What the last repetition counted.
struct RegexTestCounts {
  int repetitions = 0;
  int strings = 0;
  int matches[REGEX_TEST_PATTERNS] = {};
};

// Fills `text` (REGEX_TEST_LENGTH letters and a NUL) from `next`, one draw
// per letter: 'a' below 0.5, else 'b'.
template <class Generator>
void fillRegexSubject(Generator* generator, char* text) {
  for (int i = 0; i < REGEX_TEST_LENGTH; ++i) text[i] = generator->next() < 0.5 ? 'a' : 'b';
  text[REGEX_TEST_LENGTH] = '\0';
}

// One repetition: a fresh generator, the four expressions compiled, 4000
// subjects matched against each (with the progress line every 128 subjects
// when `showProgress`), the expressions destroyed. `counts->repetitions` is
// left 0.
void regexTestRepetition(RegexTestCounts* counts, bool showProgress);

// Runs the timed test, prints progress and (unless super-brief) the result
// line, and returns the milliseconds per repetition. `counts`, when given,
// receives the counters of the last repetition.
Outcome regularExpressionTest(RegexTestCounts* counts = nullptr);

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_REGEX_TEST_H_
