// The listing of the result table per test (`-l`): plain fixed-width rows or
// comma-separated rows for spread-sheets, filtered by the system filter and
// optionally sorted by time, ref or clock.
//
// Changes nothing in the table. Main thread only.
#ifndef BENCH_RESULTS_LISTING_H_
#define BENCH_RESULTS_LISTING_H_

#include <string>
#include <string_view>
#include <vector>

#include "results/listing_options.h"
#include "results/ref_value.h"
#include "results/result_table.h"

namespace bench {

// Compares two records by `key`: negative when `a` comes first in a listing
// sorted in the given direction; 0 when keys and descriptions are equal.
int compareRecords(const ResultRecord& a, const ResultRecord& b, SortKey key, bool ascending);

// A test chosen for a listing, with its listing title (parameters filled in).
struct ListedTest {
  int number;
  std::string title;
};

// A listing title without the colon that ends it in the text heading, for
// forms where the title stands alone (a page heading, a JSON field).
std::string_view bareTitle(std::string_view title);

// The positions of the records of test `test` that pass the system filter,
// in table order, or sorted when the options ask for it.
std::vector<int> selectRecords(const ResultTable& table, int test, const ListingOptions& options);

// A listed test with the positions of its records, as selectRecords gives
// them.
struct TestRecords {
  const ListedTest* test;
  std::vector<int> positions;
};

// The records of each of `tests`, in the order given. The result points into
// `tests`, which must outlive it.
std::vector<TestRecords> selectTestRecords(const ResultTable& table,
                                           const std::vector<ListedTest>& tests,
                                           const ListingOptions& options);

// Prints the heading and rows of test `test` (1..24); `title` is the test's
// listing title with its parameters filled in.
void printTestTable(const ResultTable& table, int test, const char* title,
                    const ListingOptions& options);

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_H_
