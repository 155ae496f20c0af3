// SHA-1 (FIPS 180-1): the workload of the parallel hashing tests.
//
// A plain value object; one context is used by one thread at a time.
#ifndef BENCH_CORE_SHA1_H_
#define BENCH_CORE_SHA1_H_

#include <cstdint>

namespace bench {

inline constexpr int SHA1_DIGEST_SIZE = 20;

class Sha1Context {
 public:
  // Starts a new digest: the initial chaining values, bit counts 0.
  void init();

  // Feeds `length` bytes in order; any length, any number of calls.
  void update(const void* data, uint32_t length);

  // Pads the message and writes the 20-byte digest. Does not reset the
  // context: the padding counts as message data for any later call.
  void finish(uint8_t digest[SHA1_DIGEST_SIZE]);

 private:
  // Compresses `block_` into `state_`.
  void compress();

  uint32_t state_[5];
  uint32_t bitCountLow_;
  uint32_t bitCountHigh_;
  uint8_t block_[64];
};

// True when the three test vectors of FIPS 180-1 give their digests.
bool sha1SelfTest();

}  // namespace bench

#endif  // BENCH_CORE_SHA1_H_
