// Image transposition tests: an image of one byte per pixel is transposed
// back and forth between two buffers in 4 x 4 pixel tiles, so that the
// destination is written row by row while the source is read down its
// columns. The access pattern is what the tests measure.
//
// Stateless functions; each call owns its buffers. Used by one thread at a
// time.
#ifndef BENCH_WORKLOADS_CPU_TRANSPOSE_H_
#define BENCH_WORKLOADS_CPU_TRANSPOSE_H_

#include <cstdint>

#include "run/outcome.h"

namespace bench {

// A transposition kernel. With D = destRowBytes & ~3 and S = sourceRowBytes
// & ~3, `source` is D rows of S bytes and `destination` S rows of D bytes.
// Tiles are visited destination row group by row group (4 rows each), and
// within a group left to right, i.e. down the source four rows at a time.
// Nothing is written when S or D is below 4.
// REQUIRES: the two regions do not overlap.
using TransposeKernel = void (*)(const uint8_t* source, uint8_t* destination, int32_t destRowBytes,
                                 int32_t sourceRowBytes);

// The proper kernel: destination row r, byte c = source row c, byte r.
void transpose(const uint8_t* source, uint8_t* destination, int32_t destRowBytes,
               int32_t sourceRowBytes);

// The flawed kernel: the same loops, but per tile it reads only the word of
// the tile's first source row, so destination row 4k + i, bytes 4j .. 4j + 3
// hold byte 4k + i of source row 4j four times. Source rows 4j + 1 .. 4j + 3
// are never read, and the image is wrong.
void flawedTranspose(const uint8_t* source, uint8_t* destination, int32_t destRowBytes,
                     int32_t sourceRowBytes);

// The timed test: per repetition commits two buffers of (width & ~7) x
// (height & ~7) bytes, then `passes` times transposes the width x height
// image from the first into the second and back with `kernel`, printing a
// progress line after each pair, then releases both. Repeats until 20000 ms
// have elapsed and prints the result line unless in super-brief mode.
// Returns milliseconds per repetition, or NO_MEMORY when a buffer cannot be
// had in any repetition (nothing is then left allocated).
// REQUIRES: width and height positive multiples of 8, passes >= 1.
Outcome transposeTest(TransposeKernel kernel, int32_t width, int32_t height, int32_t passes);

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_TRANSPOSE_H_
