#include "driver/catalogue.h"

#include <cstdio>
#include <cstdlib>

#include "workloads/cpu/regex_test.h"
#include "workloads/cpu/arbitrage.h"
#include "workloads/cpu/garbage_collection.h"
#include "workloads/cpu/memory_copy.h"
#include "workloads/cpu/monte_carlo.h"
#include "workloads/cpu/quick_sort.h"
#include "workloads/cpu/sieve.h"
#include "workloads/cpu/transpose.h"
#include "workloads/disk/kd_tree.h"
#include "workloads/disk/merge_sort_on_disk.h"
#include "workloads/disk/wavelet.h"
#include "workloads/parallel/parallel_sha.h"
#include "workloads/parallel/parallel_sort.h"

namespace bench {

namespace {

// Rows in test-number order; the routines run each test with its fixed
// parameters.
const TestEntry CATALOGUE[TEST_COUNT] = {
    {1, "Eratosthen (%d-th prime number)", {5555555}, "Eratosthen (%d-th prime number):",
     {5555555}, sieveTest, 12, 16, 25, 1},
    {2, "Flawed transposition of %dMB image (uses two buffers!)", {16},
     "Flawed transposition of %dMB image:", {16},
     +[]() -> Outcome { return transposeTest(flawedTranspose, 4096, 4096, 48); }, 32, 35, 44,
     1},
    {3, "Flawed transposition of %dMB image (uses two buffers!)", {64},
     "Flawed transposition of %dMB image:", {64},
     +[]() -> Outcome { return transposeTest(flawedTranspose, 8192, 8192, 12); }, 128, 131,
     140, 1},
    {4, "Arbitrage sequence lookup (double[%d][%d] matrix)", {12, 12},
     "Arbitrage sequence lookup (double[%d][%d] matrix):", {12, 12}, arbitrageTest, 0, 3, 12, 1},
    {5, "Needle-throwing simulation (Monte-Carlo, %dM iterations)", {100},
     "Needle-throwing simulation (Monte-Carlo, %dM iterations):", {100}, needleTest,
     0, 3, 12, 1},
    {6, "Fast memory-copy (two %d MB arrays, %d iterations)", {16, 100},
     "Fast memory-copy (two %d MB arrays, %d iterations):", {16, 100}, memoryCopyTest,
     32, 35, 44, 1},
    {7, "Monte-Carlo form-factor (%dM iterations)", {50},
     "Monte-Carlo form-factor (%dM iterations):", {50}, formFactorTest, 0, 3, 12, 1},
    {8, "Merge-sort on disk (double[%dM] array)", {8}, "Merge-sort on disk (double[%dM] array):",
     {8}, +[]() -> Outcome { return mergeSortOnDisk(0); }, 0, 11, 20, 129},
    {9, "Wavelet (T-S) transform in memory (int32[%dM-%dK] arrays)", {4, 2},
     "Wavelet (T-S) transform in memory (int32[%dM-%dK] arrays):", {4, 2}, waveletInMemory,
     16, 19, 28, 1},
    {10, "Wavelet (T-S) transform on disk (double[%dM-%dK] arrays)", {16, 128},
     "Wavelet (T-S) transform on disk (double[%dM-%dK] arrays):", {16, 128},
     +[]() -> Outcome { return waveletOnDisk(0); },
     0, 3, 12, 129},
    {11, "Adaptive K-D tree on disk (%dK operations)", {150},
     "Adaptive K-D tree on disk (%dK operations):", {150},
     +[]() -> Outcome { return kdTreeOnDisk(0); }, 0, 11, 20, 59},
    {12, "Quick-sort in virtual memory (double[%dM] array)", {8},
     "Quick-sort in virtual memory (double[%dM] array):", {8},
     +[]() -> Outcome { return quickSortTest(8388608); }, 64, 3, 76, 1},
    {13, "Quick-sort in virtual memory (double[%dM] array)", {32},
     "Quick-sort in virtual memory (double[%dM] array):", {32},
     +[]() -> Outcome { return quickSortTest(33554432); }, 256, 3, 268, 1},
    {14, "Quick-sort in virtual memory (double[%dM] array)", {128},
     "Quick-sort in virtual memory (double[%dM] array):", {128},
     +[]() -> Outcome { return quickSortTest(134217728); },
     1024, 3, 1036, 1},
    {15, "Garbage collection test in 16MB of VM", {}, "Garbage collection test in 16MB of VM:", {},
     garbageCollectionTest, 16, 19, 28, 1},
    {16, "Regular expression test (%dk matches on %d-bytes strings)", {16, 32},
     "Regular expression test (4 x %dk matches on %d-byte strings):", {4, 32},
     +[]() -> Outcome { return regularExpressionTest(); },
     0, 4, 13, 1},
    {17, "Transposition of %dMB image (uses two buffers!)", {16}, "Transposition of %dMB image:",
     {16}, +[]() -> Outcome { return transposeTest(transpose, 4096, 4096, 48); }, 32, 35, 44, 1},
    {18, "Transposition of %dMB image (uses two buffers!)", {64}, "Transposition of %dMB image:",
     {64}, +[]() -> Outcome { return transposeTest(transpose, 8192, 8192, 12); }, 128, 131, 140, 1},
    {19, "Merge-sort on disk (double[%dM] array)", {64},
     "Merge-sort on disk (double[%dM] array):", {64},
     +[]() -> Outcome { return mergeSortOnDisk(1); }, 0, 11, 20,
     1025},
    {20, "Wavelet (T-S) transform on disk (double[%dM-%dM] arr)", {128, 1},
     "Wavelet (T-S) transform on disk (double[%dM-%dK] arrays):", {128, 1024},
     +[]() -> Outcome { return waveletOnDisk(1); },
     0, 3, 12, 1025},
    {21, "Adaptive K-D tree on disk (%dK operations)", {1500},
     "Adaptive K-D tree on disk (%dK operations):", {1500},
     +[]() -> Outcome { return kdTreeOnDisk(1); }, 0, 11, 20, 568},
    {22, "Parallel SHA-1 digest (1 to %d threads, %dx%dMB total)", {16, 4000, 1},
     "Parallel SHA-1 digest (1 to %d threads, %dx%dMB total):", {16, 4000, 1},
     +[]() -> Outcome { return parallelShaTest(); }, 0, 67, 76, 1},
    {23, "Ctx-switch test - SHA-1 (%d threads, %dMx%d total)", {2, 31, 128},
     "Ctx-switch efficiency - SHA-1 digest (%d threads, %dMx%d total):", {2, 31, 128},
     +[]() -> Outcome { return contextSwitchTest(); }, 0, 4, 13, 1},
    {24, "Parallel sort in VM (2 to %d threads, 2x double[%dM] arr)", {16, 128},
     "Parallel sort in virtual memory (2 to %d threads, 2x double[%dM] array):", {16, 128},
     +[]() -> Outcome { return parallelSortTest(); }, 2048, 3, 2060, 1},
};

}  // namespace

const TestEntry& catalogueEntry(int number) {
  if (number < 1 || number > TEST_COUNT) std::abort();
  return CATALOGUE[number - 1];
}

std::string listingTitle(int number) {
  const TestEntry& entry = catalogueEntry(number);
  char title[160];
  std::snprintf(title, sizeof title, entry.listingTitle, entry.listingParams[0],
                entry.listingParams[1], entry.listingParams[2]);
  return title;
}

}  // namespace bench
