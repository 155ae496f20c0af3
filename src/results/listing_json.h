// The listing as one JSON document (`-lj`), for scripts and dashboards, of
// schema LISTING_JSON_SCHEMA, written down in the README:
//
//   {"schema": 1, "system": {"description": ..., "clock_mhz": ...},
//    "tests": [{"test": N, "title": ...,
//               "results": [{"description": ..., "clock_mhz": ...,
//                            "time_s": ..., "ref": ..., "time_ms": ...,
//                            "evidence": {"build": ..., "repetitions": ...,
//                                         "fastest_ms": ..., "median_ms": ...,
//                                         "slowest_ms": ..., "noise": ...,
//                                         "time": ...}},
//                           ...]},
//              ...],
//    "systems": [{"description": ..., "clock_mhz": ...,
//                 "overall_percent": ..., "tests": N},
//                ...]}
//
// Tests and records come in listing order (filter and sort applied), all of
// them however many, since the document is for scripts. time_s and ref are
// the figures the text listing prints (two decimals); time_ms is the stored
// time itself. "evidence" is there only for a record the journal has a line
// for; "noise" is "quiet", "busy", or null for a test timed once. Strings
// are valid UTF-8 and escaped.
//
// "systems" holds every system with a listed record, with its overall figure
// (speed_overview.h) in percent with one decimal, rounded down, over "tests"
// listed tests; null (and 0 tests) for a system without a positive time. It
// is in the order of the web page's overview: the highest figure first.
//
// A reader skips a document of a schema it does not know and ignores
// members it does not know, so members may be added within one schema.
//
// Changes nothing in the table. Main thread only.
#ifndef BENCH_RESULTS_LISTING_JSON_H_
#define BENCH_RESULTS_LISTING_JSON_H_

#include <vector>

#include "results/document_writer.h"
#include "results/evidence.h"
#include "results/listing.h"
#include "results/result_table.h"

namespace bench {

inline constexpr int LISTING_JSON_SCHEMA = 1;

// Writes the document for `tests` (in the order given), ending in a newline,
// one record at a time; `thisSystem` is the system a run would record, and
// `evidence`, when given, the journal's evidence for the records.
void writeListingJson(DocumentWriter* out, const ResultTable& table,
                      const std::vector<ListedTest>& tests, const ListingOptions& options,
                      const SystemId& thisSystem, const EvidenceIndex* evidence = nullptr);

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_JSON_H_
