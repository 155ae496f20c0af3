// The comparison as one JSON document for scripts and CI (`-lcj`, `-lvj`),
// schema COMPARISON_SCHEMA, written down in the README:
//
//   {"schema": 1, "comparison": "latest_against_previous" or "against_journal",
//    "before": {"description": ..., "clock_mhz": ...}, "now": {...},
//    "thresholds": {"p_value_below": 0.01, "change_percent_min": 1,
//                   "repetitions_min": 5},
//    "tests": [{"test": N, "title": ...,
//               "before": {"run_id": ..., "time": ..., "build": ...,
//                          "compiler": ..., "timed": "repeated" or "once",
//                          "repetitions": ..., "median_ms": ...,
//                          "fastest_ms": ..., "slowest_ms": ...,
//                          "noise": "quiet", "busy" or null,
//                          "clock_before_mhz": ... or null},
//               "now": {...},
//               "change_percent": ... or null, "p_value": ... or null,
//               "verdict": "faster", "slower", "no_clear_change" or "not_judged",
//               "warnings": ["busy_before", "busy_now", "other_build", "other_clock"]},
//              ...],
//    "only_before": [N, ...], "only_now": [N, ...]}
//
// No file names: the document may be sent to others.
//
// Stateless.
#ifndef BENCH_RESULTS_COMPARISON_JSON_H_
#define BENCH_RESULTS_COMPARISON_JSON_H_

#include <string>

#include "results/comparison.h"

namespace bench {

inline constexpr int COMPARISON_SCHEMA = 1;

// Appends the document, ending in a newline.
void appendComparisonJson(std::string* out, const ComparedSides& sides,
                          const Comparison& comparison);

}  // namespace bench

#endif  // BENCH_RESULTS_COMPARISON_JSON_H_
