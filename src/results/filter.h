// The system filter of `-r <reg-exp>`: a compiled expression that a record's
// whole description must match to be listed or shown beside a run's result.
//
// Used by the main thread only.
#ifndef BENCH_RESULTS_FILTER_H_
#define BENCH_RESULTS_FILTER_H_

#include "results/listing_options.h"

namespace bench {

// Compiles `pattern` into options->systemFilter. Returns false when the
// pattern is malformed; the parser has then printed its message on standard
// output and the program ends with status 11.
bool compileSystemFilter(const char* pattern, ListingOptions* options);

// True when no filter is set, or when the filter matches the whole
// description (case-sensitive).
bool filterAccepts(const ListingOptions& options, const char* description);

}  // namespace bench

#endif  // BENCH_RESULTS_FILTER_H_
