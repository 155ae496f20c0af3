// How the result table is listed (`-l...`, `-s...`, `-r <reg-exp>`): the
// form, the width, the sort, and the system filter, which also limits the
// other systems that a run prints beside each result. Set while the command
// line is parsed and read by the listing and the run harness.
//
// Used by the main thread only.
#ifndef BENCH_RESULTS_LISTING_OPTIONS_H_
#define BENCH_RESULTS_LISTING_OPTIONS_H_

#include <cstdint>
#include <memory>

namespace bench {

class VRegularExpression;

enum class SortKey { TIME, REF, CLOCK };

// A listing printed as one document instead of text lines: a web page
// (`-lh`) or JSON (`-lj`).
enum class ListDocument { NONE, HTML, JSON };

struct ListingOptions {
  bool spreadSheetMode = false;
  int listWidth = 80;
  ListDocument listDocument = ListDocument::NONE;
  bool sortResults = false;
  bool sortAscending = true;
  SortKey sortKey = SortKey::TIME;
  // The compiled `-r` expression, or null; shared by the copies of the
  // options and released with the last of them. Matching changes its memo
  // tables, so one expression serves one thread.
  std::shared_ptr<VRegularExpression> systemFilter;
};

// A system as the result table identifies it: description and clock.
struct SystemId {
  const char* description;
  int32_t clock;
};

}  // namespace bench

#endif  // BENCH_RESULTS_LISTING_OPTIONS_H_
