// The sequential disk tests as the catalogue runs them (tests 8 and 10),
// with what they cost the system: the bytes they hand to the kernel
// (wchar), the bytes that reach the storage layer (write_bytes, less those
// cancelled because the file was deleted first), and the peak total size of
// their work files. Also the raw window throughput of CDoubleFile.
//
// The work files are created in the current directory. Run a single
// iteration; each test is one timed run already:
//   disk_tests_benchmark --benchmark_filter=Test
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "driver/catalogue.h"
#include "platform/files.h"
#include "run/settings.h"
#include "workloads/disk/double_file.h"
#include "workloads/disk/merge_sort_on_disk.h"
#include "workloads/disk/wavelet.h"

namespace bench {
namespace {

// The process's I/O accounting, by field name.
std::map<std::string, int64_t> readIoCounters() {
  std::map<std::string, int64_t> counters;
  std::ifstream io("/proc/self/io");
  std::string name;
  int64_t value;
  while (io >> name >> value) counters[name.substr(0, name.size() - 1)] = value;
  return counters;
}

// Samples the total size of `files` every millisecond while alive.
class PeakSizeWatcher {
 public:
  explicit PeakSizeWatcher(std::vector<std::string> files)
      : files_(std::move(files)), thread_([this] { watch(); }) {}
  ~PeakSizeWatcher() { stop(); }

  int64_t stop() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return peak_;
  }

 private:
  void watch() {
    while (!done_) {
      int64_t total = 0;
      for (const std::string& name : files_) {
        std::error_code missing;
        auto size = std::filesystem::file_size(name, missing);
        if (!missing) total += static_cast<int64_t>(size);
      }
      if (total > peak_) peak_ = total;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  std::vector<std::string> files_;
  std::atomic<bool> done_ = false;
  int64_t peak_ = 0;
  std::thread thread_;
};

void runDiskTest(benchmark::State& state, Outcome (*routine)(),
                 const std::vector<std::string>& workFiles) {
  runSettings.superBriefMode = true;
  for (auto _ : state) {
    std::map<std::string, int64_t> before = readIoCounters();
    PeakSizeWatcher watcher(workFiles);
    const Outcome outcome = routine();
    int64_t peak = watcher.stop();
    std::map<std::string, int64_t> after = readIoCounters();
    if (outcome.status != OutcomeStatus::TIME) {
      state.SkipWithError("the test failed");
      return;
    }
    const int32_t elapsed = outcome.milliseconds;
    state.SetIterationTime(elapsed * 0.001);
    state.counters["test_ms"] = elapsed;
    state.counters["wchar_MiB"] = (after["wchar"] - before["wchar"]) / 1048576.0;
    state.counters["rchar_MiB"] = (after["rchar"] - before["rchar"]) / 1048576.0;
    state.counters["storage_written_MiB"] =
        (after["write_bytes"] - before["write_bytes"] -
         (after["cancelled_write_bytes"] - before["cancelled_write_bytes"])) /
        1048576.0;
    state.counters["peak_files_MiB"] = peak / 1048576.0;
  }
}

void BM_Test8MergeSortOnDisk(benchmark::State& state) {
  runDiskTest(state, [] { return mergeSortOnDisk(0); },
              {"sort1.bin", "sort2.bin", "sort3.bin", "sort4.bin"});
}
BENCHMARK(BM_Test8MergeSortOnDisk)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Test10WaveletOnDisk(benchmark::State& state) {
  runDiskTest(state, [] { return waveletOnDisk(0); }, {"s0.bin", "s1.bin", "d1.bin"});
}
BENCHMARK(BM_Test10WaveletOnDisk)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Writing and then reading back `count` values through the window.
void BM_DoubleFileWriteThenRead(benchmark::State& state) {
  const int32_t count = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    CDoubleFile file("window.bin", true);
    for (int32_t i = 0; i < count; ++i) file.write(i);
    file.seek(0);
    double sum = 0;
    for (double v = file.read(); v >= 0; v = file.read()) sum += v;
    benchmark::DoNotOptimize(sum);
    file.close();
  }
  platform::removeFile("window.bin");
  state.SetBytesProcessed(state.iterations() * int64_t{count} * 2 * sizeof(double));
}
BENCHMARK(BM_DoubleFileWriteThenRead)->Arg(1 << 20)->Arg(1 << 23)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
