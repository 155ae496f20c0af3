// Wavelet (T-S) transform tests: one level of a lifting wavelet transform
// and its inverse, applied back and forth over signals of decreasing length,
// each size moving the same number of samples.
//
// Test 9 transforms 32-bit integers inside one committed block; tests 10 and
// 20 transform doubles between three work files "s0.bin" (signal), "s1.bin"
// (smooth) and "d1.bin" (detail) in the current directory, which exist only
// while the test runs. Used by the main thread only.
#ifndef BENCH_WORKLOADS_DISK_WAVELET_H_
#define BENCH_WORKLOADS_DISK_WAVELET_H_

#include <cstdint>

#include "run/outcome.h"
#include "workloads/disk/double_file.h"

namespace bench {

// One level of the integer transform of `length` signal values into
// length/2 smooth values s[0..] and length/2 detail values d[0..]. All
// arithmetic wraps in 32 bits and right shifts round toward minus infinity.
// REQUIRES: length is even and >= 2; s[-1] and s[length/2] exist (guard
// cells, overwritten); the three ranges do not overlap.
void tsForward(const int32_t* signal, int32_t length, int32_t* s, int32_t* d);

// Exactly undoes tsForward: rebuilds the `length` signal values from s and
// d, which it changes. Same requirements as tsForward.
void tsInverse(int32_t* s, int32_t length, int32_t* signal, int32_t* d);

// One level of the double transform of the first `length` values of
// `signal` into length/2 values each of `smooth` and `detail`, written from
// their starts. REQUIRES: length is even and >= 2.
void diskForward(int32_t length, CDoubleFile& signal, CDoubleFile& smooth, CDoubleFile& detail);

// Rebuilds the first `length` values of `signal` from `smooth` and `detail`
// (up to rounding). REQUIRES: length is even and >= 2.
void diskInverse(int32_t length, CDoubleFile& smooth, CDoubleFile& detail, CDoubleFile& signal);

// Test 9: returns the elapsed milliseconds, or NO_MEMORY when the block
// cannot be committed.
Outcome waveletInMemory();

// Tests 10 (selector 0) and 20 (selector 1): returns the elapsed
// milliseconds, or FAILED when a work file could not be created,
// written or read (a diagnostic is on standard error).
Outcome waveletOnDisk(int selector);

// The disk test over the array sizes firstSize, firstSize/2, ... down to
// lastSize. REQUIRES: both are powers of two, 4 <= lastSize <= firstSize.
Outcome runWaveletOnDisk(int32_t firstSize, int32_t lastSize);

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_WAVELET_H_
