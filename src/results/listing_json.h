// The listing as one JSON document (`-lj`), for scripts and dashboards:
//
//   {"system": {"description": ..., "clock_mhz": ...},
//    "tests": [{"test": N, "title": ...,
//               "results": [{"description": ..., "clock_mhz": ...,
//                            "time_s": ..., "ref": ..., "time_ms": ...},
//                           ...]},
//              ...]}
//
// Tests and records come in listing order (filter and sort applied). time_s
// and ref are the figures the text listing prints (two decimals); time_ms is
// the stored time itself. Strings are valid UTF-8 and escaped.
//
// Changes nothing in the table. Main thread only.
#ifndef BENCH_RESULTS_LISTING_JSON_H_
#define BENCH_RESULTS_LISTING_JSON_H_

#include <string>
#include <vector>

#include "results/listing.h"
#include "results/result_table.h"

namespace bench {

// Returns the document for `tests` (in the order given), ending in a newline;
// `thisSystem` is the system a run would record.
std::string listingJson(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem);

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_JSON_H_
