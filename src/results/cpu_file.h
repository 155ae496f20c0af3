// Reading the system description (clock and CPU description) from the first
// line of the CPU file.
#ifndef BENCH_RESULTS_CPU_FILE_H_
#define BENCH_RESULTS_CPU_FILE_H_

#include "run/settings.h"

namespace bench {

// Reads `fileName`: skips one word, reads the clock in MHz into
// settings->cpuClock (kept when there is no number), and takes the rest of
// that line (at most 127 bytes, trailing line-end characters removed,
// leading white space skipped) as the description. When nothing is left to
// read, the description buffer keeps its previous content.
// Returns false when the file cannot be opened (nothing changes then).
bool readCpuFile(const char* fileName, RunSettings* settings);

}  // namespace bench

#endif  // BENCH_RESULTS_CPU_FILE_H_
