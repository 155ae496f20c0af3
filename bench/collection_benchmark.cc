// A collector's result table of a million records (collection_table.h, about
// 40 MB), in process: loading it, and merging it with a copy of itself and
// saving (what `-m` does, in its worst case: every record a duplicate).
// listing_page_benchmark renders its page and JSON; measure_collection.sh
// times the real program and its peak memory on the same table.
//
// The files are written in a temporary directory, which becomes the current
// directory while the benchmarks run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "collection_table.h"
#include "results/result_table.h"

namespace bench {
namespace {

constexpr const char* TABLE_FILE = "collection.txt";

// The temporary directory with the table, made once.
class CollectionDirectory {
 public:
  CollectionDirectory() {
    previous_ = std::filesystem::current_path();
    path_ = std::filesystem::temp_directory_path() /
            ("bench-collection-" + std::to_string(std::random_device()()));
    std::filesystem::create_directory(path_);
    std::filesystem::current_path(path_);
    ready_ = writeCollectionTable(TABLE_FILE, COLLECTION_SYSTEMS);
  }
  ~CollectionDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  bool ready() const { return ready_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
  bool ready_ = false;
};

bool prepared(benchmark::State& state) {
  static CollectionDirectory directory;
  if (!directory.ready()) state.SkipWithError("cannot write the table");
  return directory.ready();
}

void BM_LoadCollection(benchmark::State& state) {
  if (!prepared(state)) return;
  int records = 0;
  for (auto _ : state) {
    ResultTable table;
    table.loadResults(TABLE_FILE);
    records = table.count();
  }
  state.counters["records"] = records;
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(TABLE_FILE)));
}
BENCHMARK(BM_LoadCollection)->Unit(benchmark::kMillisecond);

void BM_MergeCollectionIntoItself(benchmark::State& state) {
  if (!prepared(state)) return;
  for (auto _ : state) {
    ResultTable table;
    table.loadResults(TABLE_FILE);
    table.loadResults(TABLE_FILE);
    table.mergeDuplicates();
    if (!table.saveResults()) state.SkipWithError(table.saveFailure().c_str());
  }
  std::remove("results.txt");
  std::remove("enhanced.txt");
}
BENCHMARK(BM_MergeCollectionIntoItself)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
