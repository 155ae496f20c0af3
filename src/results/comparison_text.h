// The comparison as a fixed-width table for people (`-lc`, `-lv`): a
// heading that names both sides, one row per test with both medians and
// their repetition counts, the change, the verdict and any warnings, then
// the tests found on one side only and what the verdicts mean.
//
// Stateless.
#ifndef BENCH_RESULTS_COMPARISON_TEXT_H_
#define BENCH_RESULTS_COMPARISON_TEXT_H_

#include <string>
#include <string_view>

#include "results/comparison.h"

namespace bench {

// A test's title without the parameters in its last parentheses
// ("Regular expression test (4 x 16k ...)" becomes "Regular expression
// test"), for a table that has room for a name only.
std::string_view shortTitle(std::string_view title);

// Appends the report.
void appendComparisonText(std::string* out, const ComparedSides& sides,
                          const Comparison& comparison);

}  // namespace bench

#endif  // BENCH_RESULTS_COMPARISON_TEXT_H_
