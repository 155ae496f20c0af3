// A separate program that runs the chain of dependent additions that the
// clock measurement times, and nothing else: its own code, timed from the
// outside (see measure_cpu_clock.sh), so that the measured clock can be
// checked against a figure that shares neither code nor clock with it.
//
// Usage: addition_chain_probe <additions in millions> [<chunks>]
// With <chunks>, the additions are split into that many chunks, each timed
// with the standard library's steady clock, and the fastest chunk's and the
// median chunk's clock are printed: on a busy machine these show the clock
// between interruptions, which a timing from outside cannot.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

uintptr_t runChain(long long blocks) {
  uintptr_t acc = 0;
  const uintptr_t one = 1;
  for (long long i = 0; i < blocks; ++i) {
#if defined(__x86_64__) || defined(__i386__)
#define ADD10                                                              \
  "add %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\t" \
  "add %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\tadd %1, %0\n\t"
#elif defined(__aarch64__)
#define ADD10                                                                \
  "add %0, %0, %1\n\tadd %0, %0, %1\n\tadd %0, %0, %1\n\tadd %0, %0, %1\n\t" \
  "add %0, %0, %1\n\tadd %0, %0, %1\n\tadd %0, %0, %1\n\tadd %0, %0, %1\n\t" \
  "add %0, %0, %1\n\tadd %0, %0, %1\n\t"
#endif
#ifdef ADD10
    __asm__ volatile(ADD10 ADD10 ADD10 ADD10 ADD10 ADD10 ADD10 ADD10 ADD10 ADD10
                     : "+r"(acc)
                     : "r"(one));
#else
    acc += one;
#endif
  }
  return acc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: addition_chain_probe <additions in millions> [<chunks>]\n");
    return 2;
  }
  const long long blocks = std::atoll(argv[1]) * 10000;  // 100 additions per block
  const long long chunks = argc == 3 ? std::max(1LL, std::atoll(argv[2])) : 0;
  if (chunks == 0) {
    std::printf("%llu additions\n", static_cast<unsigned long long>(runChain(blocks)));
    return 0;
  }
  const long long chunkBlocks = std::max(1LL, blocks / chunks);
  std::vector<double> mhz;
  for (long long i = 0; i < chunks; ++i) {
    auto start = std::chrono::steady_clock::now();
    uintptr_t sum = runChain(chunkBlocks);
    std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    if (sum != static_cast<uintptr_t>(chunkBlocks * 100)) return 1;
    mhz.push_back(chunkBlocks * 100 / took.count());
  }
  std::sort(mhz.begin(), mhz.end());
  std::printf("%lld chunks of %lld additions: fastest %.0f MHz, median %.0f MHz\n", chunks,
              chunkBlocks * 100, mhz.back(), mhz[mhz.size() / 2]);
  return 0;
}
