// Merge-sort on disk (tests 8 and 19): a file of random doubles, written in
// pre-sorted chunks, is sorted by a natural balanced two-way merge over four
// work files "sort1.bin" .. "sort4.bin" in the current directory, with only
// sequential access through CDoubleFile, and then checked.
//
// The work files exist only while the test runs: they are deleted before and
// after it, also when it fails. Used by the main thread only.
#ifndef BENCH_WORKLOADS_DISK_MERGE_SORT_ON_DISK_H_
#define BENCH_WORKLOADS_DISK_MERGE_SORT_ON_DISK_H_

#include <cstdint>

#include "run/outcome.h"
#include "workloads/disk/double_file.h"

namespace bench {

// The largest chunk the generation sorts in memory (test 19's).
inline constexpr int32_t MAX_CHUNK_SIZE = 8192;

// Runs written to the first and the second output file.
struct RunCounts {
  int32_t first;
  int32_t second;
};

// The verdict of checkSorted: the file is non-descending (up to the first
// descent) and how many values were read, the descending one included.
struct SortCheck {
  bool sorted;
  int32_t count;
};

// Empties both outputs, then copies the runs of `input` (read from its
// start) to them alternately, beginning with `outputA`. Returns the runs
// written to each; {0, 0} for an empty input.
RunCounts distributeRuns(CDoubleFile& input, CDoubleFile& outputA, CDoubleFile& outputB);

// Empties both outputs, then merges the runs of `inputA` and `inputB` pairwise
// (on equal values B's first), alternating the outputs from `outputA` on;
// runs left over on one input go one by one to the output with fewer runs
// (`outputB` on equal counts). Returns the runs written to each output.
// REQUIRES: all values are >= 0; both inputs hold at least one value (when
// one does not, both outputs stay empty and {0, 0} is returned).
RunCounts mergeRuns(CDoubleFile& inputA, CDoubleFile& inputB, CDoubleFile& outputA,
                    CDoubleFile& outputB);

// Reads `file` from its start up to its end or its first descent. The count
// is 1 for an empty file.
SortCheck checkSorted(CDoubleFile& file);

// The catalogue's routine: selector 0 sorts 8M values in chunks of 1024
// (test 8), selector 1 64M values in chunks of 8192 (test 19). Returns the
// elapsed milliseconds of the whole run, or FAILED when a work file
// could not be created, written or read, or the result failed its check
// (a diagnostic is on standard error).
Outcome mergeSortOnDisk(int selector);

// The same test on `valueCount` values in chunks of `chunkSize`.
// REQUIRES: 1 <= chunkSize <= MAX_CHUNK_SIZE, valueCount a positive multiple
// of chunkSize.
Outcome runMergeSortOnDisk(int32_t valueCount, int32_t chunkSize);

// Prints the result line (unless in super-brief mode) for a run that took
// `elapsed` ms and whose check gave `check` on a file `fileName` that should
// hold `valueCount` values. Returns `elapsed` when the check passed;
// otherwise explains the failure on standard error and returns FAILED.
Outcome reportMergeSort(SortCheck check, const char* fileName, int32_t valueCount, int32_t elapsed);

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_MERGE_SORT_ON_DISK_H_
