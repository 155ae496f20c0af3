#include "core/sha1.h"

#include <cstring>

namespace bench {

namespace {

inline uint32_t rol(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

}  // namespace

void Sha1Context::init() {
  state_[0] = 0x67452301u;
  state_[1] = 0xEFCDAB89u;
  state_[2] = 0x98BADCFEu;
  state_[3] = 0x10325476u;
  state_[4] = 0xC3D2E1F0u;
  bitCountLow_ = 0;
  bitCountHigh_ = 0;
}

// The 80 steps run as straight-line code: the message schedule lives in a
// 16-word ring, each step a macro expansion with no call, loop or table. The
// first 16 steps read their word from the block with a byte-order swap.
#define SHA1_LOAD(t)                                           \
  (w[t] = (static_cast<uint32_t>(block_[4 * (t)]) << 24) |     \
          (static_cast<uint32_t>(block_[4 * (t) + 1]) << 16) | \
          (static_cast<uint32_t>(block_[4 * (t) + 2]) << 8) |  \
          static_cast<uint32_t>(block_[4 * (t) + 3]))
#define SHA1_W(t) \
  (w[(t)&15] = rol(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_F1(b, c, d) ((b & (c ^ d)) ^ d)
#define SHA1_F2(b, c, d) (b ^ c ^ d)
#define SHA1_F3(b, c, d) (((b | c) & d) | (b & c))
#define SHA1_STEP0(a, b, c, d, e, t)                              \
  e += rol(a, 5) + SHA1_F1(b, c, d) + SHA1_LOAD(t) + 0x5A827999u; \
  b = rol(b, 30);
#define SHA1_STEP1(a, b, c, d, e, t)                           \
  e += rol(a, 5) + SHA1_F1(b, c, d) + SHA1_W(t) + 0x5A827999u; \
  b = rol(b, 30);
#define SHA1_STEP2(a, b, c, d, e, t)                           \
  e += rol(a, 5) + SHA1_F2(b, c, d) + SHA1_W(t) + 0x6ED9EBA1u; \
  b = rol(b, 30);
#define SHA1_STEP3(a, b, c, d, e, t)                           \
  e += rol(a, 5) + SHA1_F3(b, c, d) + SHA1_W(t) + 0x8F1BBCDCu; \
  b = rol(b, 30);
#define SHA1_STEP4(a, b, c, d, e, t)                           \
  e += rol(a, 5) + SHA1_F2(b, c, d) + SHA1_W(t) + 0xCA62C1D6u; \
  b = rol(b, 30);

void Sha1Context::compress() {
  uint32_t w[16];
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];

  SHA1_STEP0(a, b, c, d, e, 0)
  SHA1_STEP0(e, a, b, c, d, 1) SHA1_STEP0(d, e, a, b, c, 2) SHA1_STEP0(c, d, e, a, b, 3) SHA1_STEP0(
      b, c, d, e, a, 4) SHA1_STEP0(a, b, c, d, e, 5) SHA1_STEP0(e, a, b, c, d, 6)
      SHA1_STEP0(d, e, a, b, c, 7) SHA1_STEP0(c, d, e, a, b, 8) SHA1_STEP0(
          b, c, d, e, a, 9) SHA1_STEP0(a, b, c, d, e, 10) SHA1_STEP0(e, a, b, c, d, 11)
          SHA1_STEP0(d, e, a, b, c, 12) SHA1_STEP0(c, d, e, a, b, 13) SHA1_STEP0(
              b, c, d, e, a,
              14) SHA1_STEP0(a, b, c, d, e, 15)
              SHA1_STEP1(e, a, b, c, d, 16) SHA1_STEP1(d, e, a, b, c, 17) SHA1_STEP1(
                  c, d, e, a,
                  b, 18) SHA1_STEP1(b, c, d, e, a, 19)

                  SHA1_STEP2(a, b, c, d, e, 20) SHA1_STEP2(e, a, b, c, d, 21) SHA1_STEP2(
                      d, e, a, b, c,
                      22) SHA1_STEP2(c, d, e, a, b, 23)
                      SHA1_STEP2(b, c, d, e, a, 24) SHA1_STEP2(a, b, c, d, e, 25) SHA1_STEP2(
                          e, a, b, c,
                          d, 26) SHA1_STEP2(d, e, a, b, c, 27)
                          SHA1_STEP2(c, d, e, a, b, 28) SHA1_STEP2(b, c, d, e, a, 29) SHA1_STEP2(
                              a, b, c, d,
                              e, 30) SHA1_STEP2(e, a, b, c, d, 31)
                              SHA1_STEP2(d, e, a, b, c, 32) SHA1_STEP2(c, d, e, a, b, 33) SHA1_STEP2(
                                  b, c, d, e,
                                  a, 34) SHA1_STEP2(a, b, c, d, e, 35)
                                  SHA1_STEP2(e, a, b, c, d, 36) SHA1_STEP2(d, e, a, b, c, 37) SHA1_STEP2(
                                      c, d, e, a,
                                      b, 38) SHA1_STEP2(b, c, d, e, a, 39)

                                      SHA1_STEP3(a, b, c, d, e, 40) SHA1_STEP3(e, a, b, c, d, 41) SHA1_STEP3(
                                          d, e, a, b,
                                          c, 42) SHA1_STEP3(c, d, e, a, b, 43)
                                          SHA1_STEP3(b, c, d, e, a, 44) SHA1_STEP3(a, b, c, d, e, 45) SHA1_STEP3(
                                              e, a, b, c,
                                              d, 46) SHA1_STEP3(d, e, a, b, c, 47)
                                              SHA1_STEP3(c, d, e, a, b, 48) SHA1_STEP3(
                                                  b, c, d, e,
                                                  a, 49) SHA1_STEP3(a, b, c, d, e, 50)
                                                  SHA1_STEP3(e, a, b, c, d, 51) SHA1_STEP3(
                                                      d, e, a, b,
                                                      c, 52) SHA1_STEP3(c, d, e, a, b, 53)
                                                      SHA1_STEP3(b, c, d, e, a, 54) SHA1_STEP3(
                                                          a, b, c, d,
                                                          e, 55) SHA1_STEP3(e, a, b, c, d, 56)
                                                          SHA1_STEP3(d, e, a, b, c, 57) SHA1_STEP3(
                                                              c, d, e, a,
                                                              b, 58) SHA1_STEP3(b, c, d, e, a, 59)

                                                              SHA1_STEP4(a, b, c, d, e, 60) SHA1_STEP4(
                                                                  e, a, b, c,
                                                                  d,
                                                                  61) SHA1_STEP4(d, e, a, b, c, 62)
                                                                  SHA1_STEP4(c, d, e, a, b, 63) SHA1_STEP4(
                                                                      b, c, d, e,
                                                                      a,
                                                                      64) SHA1_STEP4(a, b, c, d, e, 65)
                                                                      SHA1_STEP4(e, a, b, c, d, 66) SHA1_STEP4(
                                                                          d, e, a, b,
                                                                          c,
                                                                          67) SHA1_STEP4(c, d, e, a, b, 68)
                                                                          SHA1_STEP4(b, c, d, e, a, 69) SHA1_STEP4(
                                                                              a, b, c, d,
                                                                              e,
                                                                              70) SHA1_STEP4(e, a, b, c, d, 71)
                                                                              SHA1_STEP4(d, e, a, b, c, 72) SHA1_STEP4(
                                                                                  c, d, e, a,
                                                                                  b,
                                                                                  73) SHA1_STEP4(b, c, d, e, a, 74)
                                                                                  SHA1_STEP4(
                                                                                      a, b, c, d,
                                                                                      e, 75)
                                                                                      SHA1_STEP4(
                                                                                          e, a, b,
                                                                                          c, d, 76)
                                                                                          SHA1_STEP4(
                                                                                              d, e,
                                                                                              a, b,
                                                                                              c, 77)
                                                                                              SHA1_STEP4(
                                                                                                  c,
                                                                                                  d,
                                                                                                  e,
                                                                                                  a,
                                                                                                  b,
                                                                                                  78)
                                                                                                  SHA1_STEP4(
                                                                                                      b,
                                                                                                      c,
                                                                                                      d,
                                                                                                      e,
                                                                                                      a,
                                                                                                      79)

                                                                                                      state_
                                                                                                          [0] +=
      a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
}

#undef SHA1_LOAD
#undef SHA1_W
#undef SHA1_F1
#undef SHA1_F2
#undef SHA1_F3
#undef SHA1_STEP0
#undef SHA1_STEP1
#undef SHA1_STEP2
#undef SHA1_STEP3
#undef SHA1_STEP4

void Sha1Context::update(const void* data, uint32_t length) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint32_t j = (bitCountLow_ / 8) % 64;
  uint32_t bits = length * 8u;
  bitCountLow_ += bits;
  if (bitCountLow_ < bits) ++bitCountHigh_;
  bitCountHigh_ += length >> 29;
  if (static_cast<uint64_t>(j) + length <= 63) {
    if (length != 0) std::memcpy(block_ + j, bytes, length);
    return;
  }
  uint32_t i = 64 - j;
  std::memcpy(block_ + j, bytes, i);
  compress();
  for (; length - i >= 64; i += 64) {
    std::memcpy(block_, bytes + i, 64);
    compress();
  }
  if (length > i) std::memcpy(block_, bytes + i, length - i);
}

void Sha1Context::finish(uint8_t digest[SHA1_DIGEST_SIZE]) {
  uint8_t lengthBytes[8];
  for (int i = 0; i < 4; ++i) {
    lengthBytes[i] = static_cast<uint8_t>(bitCountHigh_ >> (24 - 8 * i));
    lengthBytes[4 + i] = static_cast<uint8_t>(bitCountLow_ >> (24 - 8 * i));
  }
  const uint8_t pad = 0x80;
  const uint8_t zero = 0x00;
  update(&pad, 1);
  while (bitCountLow_ % 512 != 448) update(&zero, 1);
  update(lengthBytes, 8);
  for (int i = 0; i < SHA1_DIGEST_SIZE; ++i) {
    digest[i] = static_cast<uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  }
}

bool sha1SelfTest() {
  static constexpr uint8_t ABC[SHA1_DIGEST_SIZE] = {0xA9, 0x99, 0x3E, 0x36, 0x47, 0x06, 0x81,
                                                    0x6A, 0xBA, 0x3E, 0x25, 0x71, 0x78, 0x50,
                                                    0xC2, 0x6C, 0x9C, 0xD0, 0xD8, 0x9D};
  static constexpr uint8_t TWO_BLOCKS[SHA1_DIGEST_SIZE] = {0x84, 0x98, 0x3E, 0x44, 0x1C, 0x3B, 0xD2,
                                                           0x6E, 0xBA, 0xAE, 0x4A, 0xA1, 0xF9, 0x51,
                                                           0x29, 0xE5, 0xE5, 0x46, 0x70, 0xF1};
  static constexpr uint8_t MILLION_A[SHA1_DIGEST_SIZE] = {0x34, 0xAA, 0x97, 0x3C, 0xD4, 0xC4, 0xDA,
                                                          0xA4, 0xF6, 0x1E, 0xEB, 0x2B, 0xDB, 0xAD,
                                                          0x27, 0x31, 0x65, 0x34, 0x01, 0x6F};
  Sha1Context context;
  uint8_t digest[SHA1_DIGEST_SIZE];

  context.init();
  context.update("abc", 3);
  context.finish(digest);
  if (std::memcmp(digest, ABC, SHA1_DIGEST_SIZE) != 0) return false;

  const char* twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  context.init();
  context.update(twoBlocks, 56);
  context.finish(digest);
  if (std::memcmp(digest, TWO_BLOCKS, SHA1_DIGEST_SIZE) != 0) return false;

  context.init();
  for (int i = 0; i < 100000; ++i) context.update("aaaaaaaaaa", 10);
  context.finish(digest);
  return std::memcmp(digest, MILLION_A, SHA1_DIGEST_SIZE) == 0;
}

}  // namespace bench
