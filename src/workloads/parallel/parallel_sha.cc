#include "workloads/parallel/parallel_sha.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/random_james.h"
#include "run/outcome.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

// clang-format off
const uint8_t PARALLEL_SHA_DIGEST[SHA1_DIGEST_SIZE] = {
    0xb3, 0x80, 0x98, 0x26, 0x3e, 0x74, 0x9b, 0x74, 0xaf, 0x6a,
    0x36, 0xb6, 0xed, 0x1d, 0x5c, 0xdd, 0x69, 0xbd, 0x3f, 0x57};
const uint8_t CONTEXT_SWITCH_DIGEST[SHA1_DIGEST_SIZE] = {
    0xc4, 0xf3, 0xf6, 0x51, 0x0a, 0x3d, 0x76, 0x5a, 0x16, 0xac,
    0x37, 0xb9, 0x01, 0xe9, 0x1b, 0x39, 0xd8, 0xb4, 0x1e, 0x85};
// clang-format on

namespace {

// Stores `item` in the ring and counts it. The ring cannot overflow: no more
// than SHA_RING_SIZE items exist at once.
void putItem(ShaJob& job, ShaItem* item) {
  {
    platform::MutexLock hold(job.lock);
    job.ring[job.putIndex] = item;
    job.putIndex = (job.putIndex + 1) % SHA_RING_SIZE;
  }
  job.filled->release(1);
}

void destroyItem(ShaItem* item) {
  delete[] item->data;
  delete item;
}

// The first uniform draws of a fresh generator, scaled to seeds.
int32_t nextSeed(RandomJames& random) { return static_cast<int32_t>(random.next() * 2147483647.0); }

}  // namespace

void fillShaBlock(int32_t seed, uint8_t* data, int32_t blockSize) {
  uint32_t c = static_cast<uint32_t>(seed);
  for (int32_t i = 0; i < blockSize; ++i) {
    data[i] = static_cast<uint8_t>((c >> 19) & 0xFF);
    c = c * 149u + 10007u;
  }
}

void ShaThread::run() {
  ShaJob& job = *static_cast<ShaJob*>(context());
  for (;;) {
    job.filled->acquire();
    if (!job.active.load()) return;
    ShaItem* item;
    {
      platform::MutexLock hold(job.lock);
      item = job.ring[job.getIndex];
      job.ring[job.getIndex] = nullptr;
      job.getIndex = (job.getIndex + 1) % SHA_RING_SIZE;
    }
    if (item->stage != 0) {
      uint8_t blockDigest[SHA1_DIGEST_SIZE];
      Sha1Context sha;
      sha.init();
      sha.update(item->data, static_cast<uint32_t>(job.blockSize));
      sha.finish(blockDigest);
      destroyItem(item);
      {
        platform::MutexLock hold(job.lock);
        for (int i = 0; i < SHA1_DIGEST_SIZE; ++i) job.digest[i] ^= blockDigest[i];
      }
      job.freeSlots->release(1);
    } else {
      fillShaBlock(item->seed, item->data, job.blockSize);
      item->stage = 1;
      putItem(job, item);
    }
  }
}

int32_t runShaJob(ShaJob& job, int workers) {
  timerStart();
  job.active.store(true);
  std::memset(job.digest, 0, sizeof job.digest);
  for (ShaItem*& slot : job.ring) slot = nullptr;
  job.putIndex = 0;
  job.getIndex = 0;
  platform::Semaphore filled(0);
  platform::Semaphore freeSlots(SHA_RING_SIZE);
  job.filled = &filled;
  job.freeSlots = &freeSlots;

  std::unique_ptr<ShaThread[]> threads(new (std::nothrow) ShaThread[workers]);
  if (threads == nullptr) {
    std::fprintf(stderr, "parallel SHA-1: cannot allocate %d workers\n", workers);
    job.filled = nullptr;
    job.freeSlots = nullptr;
    return SHA_JOB_FAILED;
  }
  int started = 0;
  for (int i = 0; i < workers; ++i) {
    threads[i].setup(&job, DEFAULT_THREAD_TIMEOUT);
    if (threads[i].start()) ++started;
  }

  bool itemsMissing = false;
  if (started == 0) {
    std::fprintf(stderr, "parallel SHA-1: none of %d workers started\n", workers);
  } else {
    RandomJames random;
    int32_t issued = 0;
    for (; issued < job.blockCount; ++issued) {
      freeSlots.acquire();
      bool refused = job.itemLimitForTesting >= 0 && issued >= job.itemLimitForTesting;
      ShaItem* item = refused ? nullptr : new (std::nothrow) ShaItem{0, nextSeed(random), nullptr};
      if (item != nullptr) item->data = new (std::nothrow) uint8_t[job.blockSize];
      if (item == nullptr || item->data == nullptr) {
        std::fprintf(stderr, "parallel SHA-1: cannot allocate block %d of %d bytes\n", issued,
                     job.blockSize);
        delete item;
        freeSlots.release(1);
        itemsMissing = true;
        break;
      }
      putItem(job, item);
    }
    // Every issued item gives its token back once it has been hashed.
    for (int i = 0; i < SHA_RING_SIZE; ++i) freeSlots.acquire();
  }

  job.active.store(false);
  filled.release(workers < 1 ? 1 : workers);
  for (int i = 0; i < workers; ++i) threads[i].wait();
  threads.reset();
  // Items still in the ring were never taken (the workers quit first).
  for (ShaItem*& slot : job.ring) {
    if (slot != nullptr) destroyItem(slot);
    slot = nullptr;
  }
  job.filled = nullptr;
  job.freeSlots = nullptr;

  if (started == 0 || itemsMissing) return SHA_JOB_FAILED;
  if (std::memcmp(job.digest, job.expected, SHA1_DIGEST_SIZE) != 0) return 0;
  return timerElapsed();
}

namespace {

void printDigest(const uint8_t digest[SHA1_DIGEST_SIZE]) {
  for (int i = 0; i < SHA1_DIGEST_SIZE; ++i) std::printf(" %02X", digest[i]);
  std::printf("\n");
}

// The digest line went to standard output; a wrong digest is a failed test,
// which standard error says too.
void reportDigestMismatch(int workers) {
  std::fflush(stdout);
  std::fprintf(stderr, "parallel SHA-1: the digest with %d workers differs from the reference\n",
               workers);
}

void applyShape(ShaJob& job, const ShaShape& shape) {
  job.blockSize = shape.blockSize;
  job.blockCount = shape.blockCount;
  job.expected = shape.expected;
}

}  // namespace

Outcome parallelShaTest(const ShaShape& shape) {
  static const int WORKER_COUNTS[] = {1, 2, 4, 8, 16};
  ShaJob job;
  applyShape(job, shape);
  int32_t total = 0;
  for (int n : WORKER_COUNTS) {
    int32_t t = runShaJob(job, n);
    if (t == SHA_JOB_FAILED) return Outcome::failed();
    if (t <= 0) {
      std::printf("Parallel SHA-1 digest using %2d threads: fail!\n", n);
      printDigest(job.digest);
      reportDigestMismatch(n);
      return Outcome::failed();
    }
    if (!runSettings.superBriefMode) {
      printResult("Parallel SHA-1 digest using %2d threads: %.2f sec\n", n, t * 0.001);
      std::fflush(stdout);
    }
    total += t;
  }
  if (!runSettings.superBriefMode) {
    printResult("Parallel SHA-1 digest using 1-%2d threads: %.2f sec total\n", 16, total * 0.001);
  }
  return Outcome::checkedTime(total);
}

Outcome contextSwitchTest(const ShaShape& shape) {
  const int workers = 2;
  ShaJob job;
  applyShape(job, shape);
  int32_t t = runShaJob(job, workers);
  if (t == SHA_JOB_FAILED) return Outcome::failed();
  if (t <= 0) {
    std::printf("Ctx-switch test (parallel SHA-1) using %2d threads: fail!\n", workers);
    printDigest(job.digest);
    reportDigestMismatch(workers);
    return Outcome::failed();
  }
  if (!runSettings.superBriefMode) {
    printResult("Ctx-switch test (parallel SHA-1) using %2d threads: %.2f sec total\n", workers,
                t * 0.001);
  }
  return Outcome::checkedTime(t);
}

}  // namespace bench
