#include "workloads/cpu/transpose.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/memory.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

// Pixels are bytes in memory order: byte 0 of a word is the lowest-addressed
// byte, which on the little-endian targets of this program is its low byte.
inline uint32_t loadWord(const uint8_t* p) {
  uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline void storeWord(uint8_t* p, uint32_t word) { std::memcpy(p, &word, sizeof word); }

}  // namespace

void transpose(const uint8_t* source, uint8_t* destination, int32_t destRowBytes,
               int32_t sourceRowBytes) {
  const size_t d = static_cast<size_t>(destRowBytes & ~3);
  const size_t s = static_cast<size_t>(sourceRowBytes & ~3);
  if (d < 4 || s < 4) return;
  for (size_t k = 0; k < s; k += 4) {
    uint8_t* out = destination + k * d;
    const uint8_t* in = source + k;
    for (size_t j = 0; j < d; j += 4) {
      const uint32_t w0 = loadWord(in);
      const uint32_t w1 = loadWord(in + s);
      const uint32_t w2 = loadWord(in + 2 * s);
      const uint32_t w3 = loadWord(in + 3 * s);
      // Destination row 4k + i takes byte i of each of the four source words.
      storeWord(out + j, (w0 & 0xFFu) | (w1 & 0xFFu) << 8 | (w2 & 0xFFu) << 16 | w3 << 24);
      storeWord(out + d + j,
                (w0 >> 8 & 0xFFu) | (w1 & 0xFF00u) | (w2 >> 8 & 0xFFu) << 16 | (w3 >> 8) << 24);
      storeWord(out + 2 * d + j,
                (w0 >> 16 & 0xFFu) | (w1 >> 16 & 0xFFu) << 8 | (w2 & 0xFF0000u) | (w3 >> 16) << 24);
      storeWord(out + 3 * d + j,
                (w0 >> 24) | (w1 >> 24) << 8 | (w2 >> 24) << 16 | (w3 & 0xFF000000u));
      in += 4 * s;
    }
  }
}

void flawedTranspose(const uint8_t* source, uint8_t* destination, int32_t destRowBytes,
                     int32_t sourceRowBytes) {
  const size_t d = static_cast<size_t>(destRowBytes & ~3);
  const size_t s = static_cast<size_t>(sourceRowBytes & ~3);
  if (d < 4 || s < 4) return;
  for (size_t k = 0; k < s; k += 4) {
    uint8_t* out = destination + k * d;
    const uint8_t* in = source + k;
    for (size_t j = 0; j < d; j += 4) {
      const uint32_t x = loadWord(in);
      storeWord(out + j, (x & 0xFFu) * 0x01010101u);
      storeWord(out + d + j, (x >> 8 & 0xFFu) * 0x01010101u);
      storeWord(out + 2 * d + j, (x >> 16 & 0xFFu) * 0x01010101u);
      storeWord(out + 3 * d + j, (x >> 24) * 0x01010101u);
      in += 4 * s;
    }
  }
}

Outcome transposeTest(TransposeKernel kernel, int32_t width, int32_t height, int32_t passes) {
  const size_t bytes = static_cast<size_t>(width & ~7) * static_cast<size_t>(height & ~7);
  Repetitions repetitions = repeatForMeasuringTime([&]() -> bool {
    auto* first = static_cast<uint8_t*>(platform::commitMemory(bytes));
    if (first == nullptr) return false;
    auto* second = static_cast<uint8_t*>(platform::commitMemory(bytes));
    if (second == nullptr) {
      platform::releaseMemory(first, bytes);
      return false;
    }
    for (int32_t p = 1; p <= passes; ++p) {
      kernel(first, second, height, width);
      kernel(second, first, width, height);
      printProgress(p * 100.0 / passes);
    }
    platform::releaseMemory(second, bytes);
    platform::releaseMemory(first, bytes);
    return true;
  });
  if (!repetitions.completed) return Outcome::noMemory();
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("Transpose the [%d,%d] image, elapsed time: %.2f sec\n", width, height,
                result * 0.001);
  }
  return Outcome::time(result, repetitions.spread);
}

}  // namespace bench
