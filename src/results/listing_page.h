// The listing as one self-contained web page (`-lh`): an overview of every
// listed system's speed relative to the fastest system of each test, then,
// per test, one horizontal bar per listed record, its length proportional to
// the time. The system a run would record is highlighted.
//
// The page is HTML5 in UTF-8 with inline CSS and inline SVG: no script and
// nothing fetched, so it works offline and alone, and it prints legibly in
// black and white. Every description is escaped for its context.
//
// Changes nothing in the table. Main thread only.
#ifndef BENCH_RESULTS_LISTING_PAGE_H_
#define BENCH_RESULTS_LISTING_PAGE_H_

#include <string>
#include <vector>

#include "results/listing.h"
#include "results/result_table.h"

namespace bench {

// Returns the page for `tests` (in the order given), with the records each
// listing of them would print: the system filter and the sort apply.
std::string listingPage(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem);

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_PAGE_H_
