// Loads arbitrary bytes as a result file, merges, saves, and loads the saved
// file again: the second load must give exactly the merged table.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "results/result_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bench::fuzz::ScopedScratchDirectory scratch;
  bench::fuzz::writeWholeFile("input.txt", data, size);
  std::remove("results.txt");

  bench::ResultTable table;
  if (!table.loadResults("input.txt")) std::abort();
  table.mergeDuplicates();
  if (!table.saveResults()) std::abort();

  bench::ResultTable again;
  if (!again.loadResults("results.txt")) std::abort();
  if (again.count() != table.count()) std::abort();
  for (int i = 0; i < table.count(); ++i) {
    const bench::ResultRecord& a = table.record(i);
    const bench::ResultRecord& b = again.record(i);
    if (a.test != b.test || a.time != b.time || a.clock != b.clock ||
        std::strcmp(a.description, b.description) != 0) {
      std::abort();
    }
  }
  return 0;
}
