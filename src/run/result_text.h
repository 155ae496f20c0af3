// The result lines a test prints: printed on standard output as they always
// were, and kept, so that the harness can store them with the result as the
// evidence that the fixed work was done right (the prime found, the ratio,
// the digest). Progress lines, which end in a carriage return, are not
// result lines and do not go through here.
//
// One process-wide text, like the stopwatch: only one test runs at a time.
// Used by the main thread only.
#ifndef BENCH_RUN_RESULT_TEXT_H_
#define BENCH_RUN_RESULT_TEXT_H_

#include <string>

namespace bench {

// Prints `format` with its arguments on standard output, as printf does,
// and appends the same text to the kept result text.
void printResult(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Returns the result text kept since the last call, and forgets it.
std::string takeResultText();

}  // namespace bench

#endif  // BENCH_RUN_RESULT_TEXT_H_
