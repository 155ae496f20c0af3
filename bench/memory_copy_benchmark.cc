// Compares one repetition of the memory-copy test with a plain loop doing
// the same work: commit two 16 MiB arrays, copy 100 times there and back
// with memcpy, release. The test may add nothing but its progress lines, so
// both should run at the speed of the machine's block copy.
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/memory.h"
#include "workloads/cpu/memory_copy.h"

namespace {

void BM_MemoryCopyTestRepetition(benchmark::State& state) {
  for (auto _ : state) {
    if (!bench::memoryCopyRepetition()) {
      state.SkipWithError("cannot commit the arrays");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * 2 * bench::MEMORY_COPY_ROUND_TRIPS *
                          static_cast<int64_t>(bench::MEMORY_COPY_BYTES));
}

void BM_PlainMemcpyLoop(benchmark::State& state) {
  const size_t bytes = bench::MEMORY_COPY_BYTES;
  for (auto _ : state) {
    void* first = bench::platform::commitMemory(bytes);
    void* second = bench::platform::commitMemory(bytes);
    if (first == nullptr || second == nullptr) {
      bench::platform::releaseMemory(first, bytes);
      bench::platform::releaseMemory(second, bytes);
      state.SkipWithError("cannot commit the arrays");
      return;
    }
    for (int i = 0; i < bench::MEMORY_COPY_ROUND_TRIPS; ++i) {
      std::memcpy(second, first, bytes);
      std::memcpy(first, second, bytes);
    }
    benchmark::DoNotOptimize(first);
    benchmark::ClobberMemory();
    bench::platform::releaseMemory(first, bytes);
    bench::platform::releaseMemory(second, bytes);
  }
  state.SetBytesProcessed(state.iterations() * 2 * bench::MEMORY_COPY_ROUND_TRIPS *
                          static_cast<int64_t>(bytes));
}

BENCHMARK(BM_MemoryCopyTestRepetition)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainMemcpyLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
