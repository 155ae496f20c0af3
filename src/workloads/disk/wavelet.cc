#include "workloads/disk/wavelet.h"

#include <cstdio>

#include "core/random_james.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/memory.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"
#include "workloads/disk/work_files.h"

namespace bench {

namespace {

// 32-bit two's complement arithmetic, wrapping instead of overflowing.
inline int32_t add32(int32_t x, int32_t y) {
  return static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(y));
}
inline int32_t sub32(int32_t x, int32_t y) {
  return static_cast<int32_t>(static_cast<uint32_t>(x) - static_cast<uint32_t>(y));
}

// The detail update's prediction from the neighbouring smooth values.
inline int32_t predict(const int32_t* s, int32_t i) {
  return add32(sub32(s[i - 1], s[i + 1]), 2) >> 2;
}

// The in-memory test: the largest array of int32 values and the smallest.
constexpr int32_t MEMORY_FIRST_SIZE = 4194304;
constexpr int32_t MEMORY_LAST_SIZE = 2048;
constexpr int32_t MEMORY_FIRST_ITERATIONS = 20;
// Signal, smooth and detail values of the largest size plus two guard cells.
constexpr size_t MEMORY_BLOCK_BYTES = (MEMORY_FIRST_SIZE + 2) * sizeof(int32_t);

struct DiskSizes {
  int32_t first;
  int32_t last;
};
constexpr DiskSizes DISK_SIZES[2] = {{16777216, 131072}, {134217728, 1048576}};

constexpr int WORK_FILE_COUNT = 3;

}  // namespace

void tsForward(const int32_t* signal, int32_t length, int32_t* s, int32_t* d) {
  const int32_t pairs = length / 2;
  for (int32_t i = 0; i < pairs; ++i) {
    s[i] = signal[2 * i];
    d[i] = signal[2 * i + 1];
  }
  for (int32_t i = 0; i < pairs; ++i) {
    d[i] = sub32(d[i], s[i]);
    s[i] = add32(s[i], d[i] >> 1);
  }
  s[pairs] = s[pairs - 1];
  s[-1] = s[0];
  for (int32_t i = 0; i < pairs; ++i) d[i] = add32(d[i], predict(s, i));
}

void tsInverse(int32_t* s, int32_t length, int32_t* signal, int32_t* d) {
  const int32_t pairs = length / 2;
  s[pairs] = s[pairs - 1];
  s[-1] = s[0];
  for (int32_t i = 0; i < pairs; ++i) d[i] = sub32(d[i], predict(s, i));
  for (int32_t i = 0; i < pairs; ++i) {
    s[i] = sub32(s[i], d[i] >> 1);
    d[i] = add32(d[i], s[i]);
  }
  for (int32_t i = 0; i < pairs; ++i) {
    signal[2 * i] = s[i];
    signal[2 * i + 1] = d[i];
  }
}

void diskForward(int32_t length, CDoubleFile& signal, CDoubleFile& smooth, CDoubleFile& detail) {
  signal.seek(0);
  smooth.seek(0);
  detail.seek(0);
  double x0 = signal.read();
  double x1 = signal.read();
  double d = x1 - x0;
  double s = d * 0.5 + x0;
  double sPrev = 0;
  for (int32_t i = length / 2 - 1; i > 0; --i) {
    double y0 = signal.read();
    double y1 = signal.read();
    double dn = y1 - y0;
    double sn = dn * 0.5 + y0;
    smooth.write(s);
    detail.write((sn + sPrev) * 0.25 + d);
    sPrev = s;
    s = sn;
    d = dn;
  }
  smooth.write(s);
  detail.write((sPrev + 0) * 0.25 + d);
}

void diskInverse(int32_t length, CDoubleFile& smooth, CDoubleFile& detail, CDoubleFile& signal) {
  smooth.seek(0);
  detail.seek(0);
  signal.seek(0);
  double sPrev = 0;
  double s = smooth.read();
  double d = detail.read();
  for (int32_t i = length / 2 - 1; i > 0; --i) {
    double sn = smooth.read();
    double dn = detail.read();
    double dc = d - (sn + sPrev) * 0.25;
    double even = s - dc * 0.5;
    signal.write(even);
    signal.write(even + dc);
    sPrev = s;
    s = sn;
    d = dn;
  }
  double dc = d - (sPrev + 0) * 0.25;
  double even = s - dc * 0.5;
  signal.write(even);
  signal.write(dc + even);
}

Outcome waveletInMemory() {
  timerStart();
  // Fresh pages are zero and the transform keeps them so; the values do not
  // matter for the timing.
  auto* block = static_cast<int32_t*>(platform::commitMemory(MEMORY_BLOCK_BYTES));
  if (block == nullptr) return Outcome::noMemory();

  int32_t iterations = MEMORY_FIRST_ITERATIONS;
  int32_t previous = 0;
  for (int32_t n = MEMORY_FIRST_SIZE; n >= MEMORY_LAST_SIZE; n /= 2) {
    const int32_t half = n / 2;
    const int32_t quarter = n / 4;
    int32_t* signal = block;
    int32_t* s = block + half + 1;            // s[-1] is the cell behind the signal
    int32_t* d = block + half + quarter + 2;  // behind s[quarter]
    for (int32_t k = 0; k < iterations; ++k) {
      tsForward(signal, half, s, d);
      tsInverse(s, half, signal, d);
    }
    int32_t t = timerElapsed();
    std::printf("%6.2f", (t - previous) * 0.001);
    std::fflush(stdout);
    previous = t;
    iterations *= 2;
  }

  platform::releaseMemory(block, MEMORY_BLOCK_BYTES);
  int32_t elapsed = timerElapsed();
  if (runSettings.superBriefMode) {
    std::printf("\r");
  } else {
    printResult("\nWavelet T-S transform: arr: %dMB-%dKB, iter: %d-%d, elapsed time: %.2f sec\n",
                16, 8, MEMORY_FIRST_ITERATIONS, iterations / 2, elapsed * 0.001);
  }
  return Outcome::time(elapsed);
}

Outcome waveletOnDisk(int selector) {
  const DiskSizes& sizes = DISK_SIZES[selector == 0 ? 0 : 1];
  return runWaveletOnDisk(sizes.first, sizes.last);
}

Outcome runWaveletOnDisk(int32_t firstSize, int32_t lastSize) {
  const char* const names[WORK_FILE_COUNT] = {"s0.bin", "s1.bin", "d1.bin"};
  for (const char* name : names) platform::removeFile(name);
  platform::ScopedInterruptFiles interruptCleanup(names, WORK_FILE_COUNT);
  CDoubleFile signal(names[0], true);
  CDoubleFile smooth(names[1], true);
  CDoubleFile detail(names[2], true);
  CDoubleFile* const files[WORK_FILE_COUNT] = {&signal, &smooth, &detail};

  RandomJames random;
  timerStart();
  if (const CDoubleFile* failed = firstFailedFile(files)) return abandonWorkFiles(*failed, files);

  int32_t iterations = 1;
  for (int32_t n = firstSize; n >= lastSize; n /= 2) {
    for (CDoubleFile* file : files) file->rewrite();
    for (int32_t i = n / 2; i > 0; --i) signal.write(random.next());
    if (const CDoubleFile* failed = firstFailedFile(files)) {
      return abandonWorkFiles(*failed, files);
    }
    int32_t t0 = timerElapsed();
    for (int32_t k = 0; k < iterations; ++k) {
      diskForward(n / 2, signal, smooth, detail);
      diskInverse(n / 2, smooth, detail, signal);
      if (const CDoubleFile* failed = firstFailedFile(files)) {
        return abandonWorkFiles(*failed, files);
      }
    }
    std::printf("%7.2f", (timerElapsed() - t0) * 0.001);
    std::fflush(stdout);
    iterations *= 2;
  }

  int32_t elapsed = timerElapsed();
  for (CDoubleFile* file : files) file->close();
  if (const CDoubleFile* failed = firstFailedFile(files)) return abandonWorkFiles(*failed, files);
  discardWorkFiles(files);
  if (runSettings.superBriefMode) {
    std::printf("\r");
  } else {
    printResult("\nWavelet T-S transform on disk: arr: %dMB-%dMB, iter: %d-%d, time: %.2f sec\n",
                static_cast<int>(int64_t{firstSize} * 8 / 1048576),
                static_cast<int>(int64_t{lastSize} * 8 / 1048576), 1, iterations / 2,
                elapsed * 0.001);
  }
  return Outcome::time(elapsed);
}

}  // namespace bench
