// Single-thread SHA-1 throughput on 1 MiB blocks, the unit of work of the
// parallel hashing tests. Compare with a reference implementation's scalar
// path on the same machine.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/sha1.h"

namespace bench {
namespace {

void BM_Sha1OneMiB(benchmark::State& state) {
  constexpr uint32_t BLOCK = 1048576;
  std::vector<uint8_t> data(BLOCK);
  for (uint32_t i = 0; i < BLOCK; ++i) data[i] = static_cast<uint8_t>(i * 131u + 7u);
  uint8_t digest[SHA1_DIGEST_SIZE];
  for (auto _ : state) {
    Sha1Context context;
    context.init();
    context.update(data.data(), BLOCK);
    context.finish(digest);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * BLOCK);
}
BENCHMARK(BM_Sha1OneMiB)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bench
