// Parallel sort (test 24): the calling thread generates the data block by
// block and queues a sort task per block; PsThread workers sort the blocks
// with sortDoubles and then merge sorted runs pairwise, level by level,
// alternating between two buffers, until one sorted run of the whole array
// remains in buffers[0].
#ifndef BENCH_WORKLOADS_PARALLEL_PARALLEL_SORT_H_
#define BENCH_WORKLOADS_PARALLEL_PARALLEL_SORT_H_

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/sort_doubles.h"
#include "platform/threads.h"
#include "run/outcome.h"
#include "workloads/parallel/thread.h"

namespace bench {

// Slots of the task ring: enough for every sort task at once.
inline constexpr int SORT_RING_SIZE = 4096;

// The size of one sort: `blockCount` blocks of `blockLength` doubles.
// REQUIRES: blockLength >= 1; blockCount a power of four, 4 <= blockCount <=
// SORT_RING_SIZE (so that the last merge level writes buffers[0]).
struct SortShape {
  int32_t blockLength;
  int32_t blockCount;
  int64_t total() const { return static_cast<int64_t>(blockLength) * blockCount; }
};

inline constexpr SortShape PARALLEL_SORT_SHAPE = {32768, 4096};

struct SortTask {
  int32_t kind;        // SORT_BLOCK or MERGE_RUNS
  int32_t firstBlock;  // first block of the run the task produces
  int32_t length;      // doubles in the run the task produces
  int32_t level;       // 1 for a sorted block; a merge of level-L runs is L + 1
};

inline constexpr int32_t SORT_BLOCK = 0;
inline constexpr int32_t MERGE_RUNS = 1;

// The context shared by the producer and the workers of one sort.
// `lock` guards the ring, both indices and `levels`; it is held only for
// queue operations and the level handshake, never while data is generated,
// sorted or merged. A buffer range belongs to one task at a time.
struct SortJob {
  SortShape shape{};
  platform::Mutex lock;
  std::atomic<bool> active{false};
  platform::Semaphore* allDone = nullptr;    // released when the whole run is merged
  platform::Semaphore* workReady = nullptr;  // one count per queued task
  SortTask queue[SORT_RING_SIZE] = {};
  int32_t putIndex = 0;
  int32_t getIndex = 0;
  double* buffers[2] = {nullptr, nullptr};
  void (*sortBlock)(double* array, int32_t count) = sortDoubles;
  // levels[b]: level of the most recently finished run that starts at block b.
  uint8_t levels[SORT_RING_SIZE] = {};
};

// The worker: takes tasks until the job is no longer active.
class PsThread : public Thread {
 public:
  ~PsThread() override { stop(); }

 protected:
  void run() override;
};

// Merges the sorted runs source[start, start + half) and
// source[start + half, start + length) into destination[start, start + length).
// On equal values the right run's element goes first.
void mergeRuns(const double* source, double* destination, int64_t start, int64_t half,
               int64_t length);

// Records the finished `task` and queues the merge of its run with its
// partner when the partner has finished too; releases allDone when the task
// produced the whole array.
void finishTask(SortJob& job, SortTask task);

// Called with the job after the workers have been joined and before the
// buffers are released (for inspection in tests).
using SortInspector = std::function<void(const SortJob& job)>;

// The sort of one block of doubles: sortDoubles in the program, a broken
// one in tests of the final order check.
using BlockSort = void (*)(double* array, int32_t count);

// What runParallelSort returns besides a time.
inline constexpr int32_t SORT_NO_MEMORY = 0;      // the buffers cannot be had
inline constexpr int32_t SORT_OUT_OF_ORDER = -1;  // the result is not in ascending order
inline constexpr int32_t SORT_NO_WORKERS = -2;    // no worker could be had (see standard error)

// One complete sort with `workers` workers, each sorting its blocks with
// `sortBlock`. Returns the elapsed milliseconds or one of the codes above.
int32_t runParallelSort(int workers, const SortShape& shape = PARALLEL_SORT_SHAPE,
                        const SortInspector& inspect = nullptr, BlockSort sortBlock = sortDoubles);

// Test 24: sorts with 2, 4, 8 and 16 workers. Returns the sum of the times,
// NO_MEMORY when the buffers cannot be had, or FAILED when no worker could be
// had or a result fails its order check (after its "fail!" line, unless in
// super-brief mode, and a diagnostic on standard error).
Outcome parallelSortTest(const SortShape& shape = PARALLEL_SORT_SHAPE,
                         BlockSort sortBlock = sortDoubles);

}  // namespace bench

#endif  // BENCH_WORKLOADS_PARALLEL_PARALLEL_SORT_H_
