// Merging a run journal given to `-m`: the records its lines imply go into
// the result table exactly as a result file's records would, and its lines
// join the local journal, each (invocation, test) once.
//
// Main thread only.
#ifndef BENCH_DRIVER_JOURNAL_MERGE_H_
#define BENCH_DRIVER_JOURNAL_MERGE_H_

#include <vector>

#include "results/journal.h"
#include "results/result_table.h"

namespace bench {

// Appends to `table` the record {description, clock, test, time} of every
// line of the journal `fileName` that can be read (the others are skipped
// with a warning), and keeps the lines in `entries`. Returns false when the
// file cannot be opened; the table is then unchanged.
bool loadJournalRecords(ResultTable& table, const char* fileName,
                        std::vector<JournalEntry>* entries);

// Appends to the journal `localFileName` every entry whose invocation and
// test it does not hold yet, in the order given, with one write. Says on
// standard error when the journal cannot be written.
void copyJournalLines(const std::vector<JournalEntry>& entries, const char* localFileName);

}  // namespace bench

#endif  // BENCH_DRIVER_JOURNAL_MERGE_H_
