// The ending of a disk test that uses CDoubleFile work files: finding a
// failed file, and closing and deleting the whole set.
//
// Used by the main thread only.
#ifndef BENCH_WORKLOADS_DISK_WORK_FILES_H_
#define BENCH_WORKLOADS_DISK_WORK_FILES_H_

#include <cstdint>
#include <span>

#include "run/outcome.h"
#include "workloads/disk/double_file.h"

namespace bench {

// The first of `files` whose I/O failed, or null.
const CDoubleFile* firstFailedFile(std::span<CDoubleFile* const> files);

// Closes every file (flushing it) and deletes it by name.
void discardWorkFiles(std::span<CDoubleFile* const> files);

// Gives up a test whose work file `failedFile` (one of `files`) failed:
// prints its failure on standard error, closes and deletes all `files`, and
// returns FAILED for the test to return.
Outcome abandonWorkFiles(const CDoubleFile& failedFile, std::span<CDoubleFile* const> files);

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_WORK_FILES_H_
