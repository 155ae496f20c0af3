// Single-threaded baselines for the parallel tests: the hashing rate one
// worker reaches on a 1 MiB block, and the sort of the parallel-sort array
// done by one thread (sortDoubles over the whole array plus one merge pass),
// to compare with the times of tests 22 and 24.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/random_james.h"
#include "core/sha1.h"
#include "core/sort_doubles.h"
#include "platform/memory.h"
#include "workloads/parallel/parallel_sha.h"
#include "workloads/parallel/parallel_sort.h"

namespace bench {
namespace {

// One item's work in test 22, split into its two stages.
void BM_ShaFillBlock(benchmark::State& state) {
  const int32_t size = static_cast<int32_t>(state.range(0));
  std::vector<uint8_t> block(size);
  int32_t seed = 12345;
  for (auto _ : state) {
    fillShaBlock(seed++, block.data(), size);
    benchmark::DoNotOptimize(block.data());
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ShaFillBlock)->Arg(1 << 20);

void BM_ShaHashBlock(benchmark::State& state) {
  const int32_t size = static_cast<int32_t>(state.range(0));
  std::vector<uint8_t> block(size);
  fillShaBlock(12345, block.data(), size);
  uint8_t digest[SHA1_DIGEST_SIZE];
  for (auto _ : state) {
    Sha1Context sha;
    sha.init();
    sha.update(block.data(), static_cast<uint32_t>(size));
    sha.finish(digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ShaHashBlock)->Arg(1 << 20)->Arg(128);

// The engine of test 22 on a tenth of its blocks, per worker count, in wall
// time: the scaling from 1 to 2 workers on this machine.
void BM_ShaJob(benchmark::State& state) {
  static uint8_t expected[SHA1_DIGEST_SIZE];
  ShaJob job;
  job.blockSize = 1048576;
  job.blockCount = 400;
  job.expected = expected;
  if (runShaJob(job, 1) == 0) std::memcpy(expected, job.digest, SHA1_DIGEST_SIZE);
  for (auto _ : state) {
    if (runShaJob(job, static_cast<int>(state.range(0))) <= 0) {
      state.SkipWithError("digest mismatch");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * int64_t{400} * 1048576);
}
BENCHMARK(BM_ShaJob)->Arg(1)->Arg(2)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// The parallel sort's array sorted by one thread: sortDoubles over all
// 2^log2 values. Generation is not timed.
void BM_SortDoublesWhole(benchmark::State& state) {
  const int64_t count = int64_t{1} << state.range(0);
  const size_t bytes = static_cast<size_t>(count) * sizeof(double);
  double* values = static_cast<double*>(platform::commitMemory(bytes));
  if (values == nullptr) {
    state.SkipWithError("cannot commit the buffer");
  } else {
    for (auto _ : state) {
      state.PauseTiming();
      RandomJames random;
      random.fill(values, static_cast<int>(count));
      state.ResumeTiming();
      sortDoubles(values, static_cast<int32_t>(count));
      benchmark::DoNotOptimize(values);
    }
  }
  platform::releaseMemory(values, bytes);
}
BENCHMARK(BM_SortDoublesWhole)->Arg(20)->Arg(27)->Iterations(1)->Unit(benchmark::kMillisecond);

// One merge pass over the whole array (two sorted halves into the other
// buffer), the cost of one level of the parallel sort's merges.
void BM_MergePass(benchmark::State& state) {
  const int64_t count = int64_t{1} << state.range(0);
  const size_t bytes = static_cast<size_t>(count) * sizeof(double);
  double* source = static_cast<double*>(platform::commitMemory(bytes));
  double* destination = static_cast<double*>(platform::commitMemory(bytes));
  if (source == nullptr || destination == nullptr) {
    state.SkipWithError("cannot commit the buffers");
  } else {
    RandomJames random;
    random.fill(source, static_cast<int>(count));
    sortDoubles(source, static_cast<int32_t>(count / 2));
    sortDoubles(source + count / 2, static_cast<int32_t>(count / 2));
    for (auto _ : state) {
      mergeRuns(source, destination, 0, count / 2, count);
      benchmark::DoNotOptimize(destination);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  }
  platform::releaseMemory(source, bytes);
  platform::releaseMemory(destination, bytes);
}
BENCHMARK(BM_MergePass)->Arg(27)->Iterations(3)->Unit(benchmark::kMillisecond);

// Generating the array, which the parallel sort's time includes and which
// only the producer thread does.
void BM_GenerateSortArray(benchmark::State& state) {
  const int64_t count = int64_t{1} << state.range(0);
  const size_t bytes = static_cast<size_t>(count) * sizeof(double);
  double* values = static_cast<double*>(platform::commitMemory(bytes));
  if (values == nullptr) {
    state.SkipWithError("cannot commit the buffer");
  } else {
    for (auto _ : state) {
      RandomJames random;
      random.fill(values, static_cast<int>(count));
      benchmark::DoNotOptimize(values);
    }
  }
  platform::releaseMemory(values, bytes);
}
BENCHMARK(BM_GenerateSortArray)->Arg(27)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
