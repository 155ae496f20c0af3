// "Did it get faster?": the commands that compare runs of this folder's
// journal, test by test, instead of running tests.
//
//   -lc, -lcj            each test's latest run of this system against the
//                        run of the same test before it
//   -lv <journal>, -lvj  each test's latest run of this system here against
//                        the latest run of each test in <journal>
//
// "This system" is the one a run would record (-c, -c auto, cpu.txt). With
// -r <reg-exp> the systems the expression accepts take its place on both
// sides; without it, the other journal's side is every system it holds.
// A side must come down to one system: otherwise the command names them
// and fails. The report goes to standard output, as a table or (j) as
// JSON; notes and errors go to standard error, one line each.
//
// Main thread only.
#ifndef BENCH_DRIVER_COMPARE_COMMAND_H_
#define BENCH_DRIVER_COMPARE_COMMAND_H_

#include <cstdint>

#include "results/listing_options.h"

namespace bench {

struct ComparisonRequest {
  bool wanted = false;            // -lc... or -lv...
  bool json = false;              // -lcj, -lvj
  bool againstJournal = false;    // -lv: the latest runs of `journal` are the earlier side
  const char* journal = nullptr;  // -lv's argument (of the command line), or null
};

// Runs the comparison of the tests in `testMask` for `thisSystem` (or the
// systems options.systemFilter accepts). Returns the exit status: 0 when
// at least one test was compared and the report was written, else 1.
int runComparison(const ComparisonRequest& request, const SystemId& thisSystem,
                  const ListingOptions& options, uint32_t testMask);

}  // namespace bench

#endif  // BENCH_DRIVER_COMPARE_COMMAND_H_
