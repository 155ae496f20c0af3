// Parallel SHA-1 (test 22) and the context-switch test (test 23).
//
// One producer/worker engine: the calling thread issues items that carry
// only a seed; a ShaThread worker expands the seed into the block's bytes and
// puts the item back into the ring; a worker (the same or another) hashes the
// block and XORs its digest into the job's digest. XOR does not depend on the
// order, so the final digest is the same for any number of workers and any
// schedule, and is compared with a reference digest stored in the program.
#ifndef BENCH_WORKLOADS_PARALLEL_PARALLEL_SHA_H_
#define BENCH_WORKLOADS_PARALLEL_PARALLEL_SHA_H_

#include <atomic>
#include <cstdint>

#include "core/sha1.h"
#include "platform/threads.h"
#include "run/outcome.h"
#include "workloads/parallel/thread.h"

namespace bench {

// Number of items that may exist at once (and ring slots).
inline constexpr int SHA_RING_SIZE = 64;

// The reference digests of tests 22 and 23, in byte order as stored.
extern const uint8_t PARALLEL_SHA_DIGEST[SHA1_DIGEST_SIZE];
extern const uint8_t CONTEXT_SWITCH_DIGEST[SHA1_DIGEST_SIZE];

// One block of work: issued with a seed (stage 0), filled by a worker
// (stage 1), hashed and destroyed by a worker. Owned by whoever took it out
// of the ring last.
struct ShaItem {
  int32_t stage;
  int32_t seed;
  uint8_t* data;  // blockSize bytes on the heap, owned by the item
};

// The context shared by the producer and the workers of one test.
// `lock` guards `ring`, both indices and `digest`; it is never held while a
// block is filled or hashed.
struct ShaJob {
  platform::Mutex lock;
  std::atomic<bool> active{false};
  int32_t blockSize = 0;
  int32_t blockCount = 0;
  const uint8_t* expected = nullptr;
  uint8_t digest[SHA1_DIGEST_SIZE] = {};
  platform::Semaphore* filled = nullptr;     // items waiting in the ring
  platform::Semaphore* freeSlots = nullptr;  // items that may still be issued
  ShaItem* ring[SHA_RING_SIZE] = {};
  int32_t putIndex = 0;
  int32_t getIndex = 0;
  // Test seam: when >= 0, the producer is refused every item after this many,
  // as if the heap were exhausted.
  int32_t itemLimitForTesting = -1;
};

// The worker: takes items from the ring until the job is no longer active.
class ShaThread : public Thread {
 public:
  ~ShaThread() override { stop(); }

 protected:
  void run() override;
};

// Writes the bytes of the block with `seed`: byte i is bits 19..26 of c_i,
// where c_0 = seed and c_(i+1) = c_i * 149 + 10007 (32-bit, wrapping).
void fillShaBlock(int32_t seed, uint8_t* data, int32_t blockSize);

// What runShaJob returns when the workers or an item could not be had.
inline constexpr int32_t SHA_JOB_FAILED = -1;

// One complete pass over all blocks of `job` with `workers` workers.
// Returns the elapsed milliseconds when the final digest equals
// job.expected, 0 when it differs (job.digest holds the digest obtained), or
// SHA_JOB_FAILED when the workers or an item could not be had (a diagnostic
// is on standard error; every started worker has been joined).
// REQUIRES: job.blockSize > 0, job.blockCount >= 0, job.expected non-null.
int32_t runShaJob(ShaJob& job, int workers);

// The size of one run of the engine.
struct ShaShape {
  int32_t blockSize;
  int32_t blockCount;
  const uint8_t* expected;
};

inline constexpr ShaShape PARALLEL_SHA_SHAPE = {1048576, 4000, PARALLEL_SHA_DIGEST};
inline constexpr ShaShape CONTEXT_SWITCH_SHAPE = {128, 32768000, CONTEXT_SWITCH_DIGEST};

// Test 22: the engine with 1, 2, 4, 8 and 16 workers; prints a line per
// count and the total. Returns the total milliseconds, or FAILED when the
// engine could not run or a digest differs from the reference (after its
// "fail!" line with the digest obtained, and a diagnostic on standard error).
Outcome parallelShaTest(const ShaShape& shape = PARALLEL_SHA_SHAPE);

// Test 23: the engine with 2 workers on small blocks. Returns its
// milliseconds, or FAILED as test 22 does.
Outcome contextSwitchTest(const ShaShape& shape = CONTEXT_SWITCH_SHAPE);

}  // namespace bench

#endif  // BENCH_WORKLOADS_PARALLEL_PARALLEL_SHA_H_
