// The command line and the main flow of the program: options into run
// settings, the banner and usage text, the one-shot commands (help,
// self-test, merge, listing) or the test run, and the exit status.
//
// Main thread only.
#ifndef BENCH_DRIVER_COMMAND_LINE_H_
#define BENCH_DRIVER_COMMAND_LINE_H_

#include "driver/compare_command.h"
#include "results/listing_options.h"
#include "run/settings.h"

namespace bench {

// What parsing the options decided.
enum class ParseOutcome {
  CONTINUE,        // go on with the main flow
  SHOW_USAGE,      // -h: print the usage, exit 1
  SELF_TEST,       // -t: run the self-tests, exit 0
  FILTER_INVALID,  // -r with a malformed expression (reported), exit 11
};

struct ParsedCommandLine {
  ParseOutcome outcome = ParseOutcome::CONTINUE;
  // The first argument that is not an option (the mask), or null.
  const char* maskArgument = nullptr;
  bool testGiven = false;  // -i was given: the mask argument is ignored
  bool listMode = false;   // -l...: list the table instead of running tests
  // The `-m` file name (an argument of the command line), or null.
  const char* mergeFileName = nullptr;
  ListingOptions listing;
  ComparisonRequest comparison;  // -lc..., -lv...: compare runs instead
};

// Parses argv[1..argc-1] into `settings` and the returned listing options,
// reporting unknown or malformed
// options on standard error. Stops at -h, -t, a malformed -r expression, or
// the first argument that does not start with '-'.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, RunSettings* settings);

// Reads the <bytes> argument of -rm, -rv, -rd: a decimal number with an
// optional K, M or G suffix, in wrapping 32-bit arithmetic.
uint32_t parseSize(const char* text);

void printBanner();
void printUsage();

// Runs the whole program and returns its exit status.
int benchMain(int argc, const char* const* argv);

}  // namespace bench

#endif  // BENCH_DRIVER_COMMAND_LINE_H_
