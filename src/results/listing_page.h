// The listing as one self-contained web page (`-lh`): an overview of every
// listed system's speed relative to the fastest system of each test, with
// its overall figure (speed_overview.h) and ordered by it, then, per test,
// one horizontal bar per listed record, its length proportional to the
// time. The system a run would record is highlighted. A bar whose
// result has evidence in the journal carries it as a hover title, and is
// marked when that evidence says the machine was busy.
//
// The page is HTML5 in UTF-8 with inline CSS and inline SVG: no script and
// nothing fetched, so it works offline and alone, and it prints legibly in
// black and white. Every description is escaped for its context.
//
// Changes nothing in the table. Main thread only.
#ifndef BENCH_RESULTS_LISTING_PAGE_H_
#define BENCH_RESULTS_LISTING_PAGE_H_

#include <cstddef>
#include <vector>

#include "results/document_writer.h"
#include "results/evidence.h"
#include "results/listing.h"
#include "results/result_table.h"

namespace bench {

// At most this many results per test and this many systems in the overview
// are shown, the fastest (see writeListingPage), plus this system's: a
// collector's table of a million records would otherwise make a page of
// hundreds of megabytes that no browser opens.
constexpr size_t PAGE_SECTION_ROWS = 100;
constexpr size_t PAGE_OVERVIEW_SYSTEMS = 100;

// Writes the page for `tests` (in the order given) with the records each
// listing of them would print: the system filter and the sort apply. A
// test's section shows its PAGE_SECTION_ROWS fastest records by the key of
// the listing's order (the least time, also when unsorted; the least ref;
// the highest clock) and this system's, in the listing's order. The
// overview shows the first PAGE_OVERVIEW_SYSTEMS systems in the order of
// their overall figure (SpeedOverview::ranking) and this system, in that
// order. Where rows are left out, a note says how many and how to select
// others. `evidence`, when given, is the journal's evidence for the
// records.
void writeListingPage(DocumentWriter* writer, const ResultTable& table,
                      const std::vector<ListedTest>& tests, const ListingOptions& options,
                      const SystemId& thisSystem, const EvidenceIndex* evidence = nullptr);

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_PAGE_H_
