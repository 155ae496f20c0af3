#include "core/sha1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace bench {
namespace {

std::string hex(const uint8_t digest[SHA1_DIGEST_SIZE]) {
  std::string text;
  char pair[3];
  for (int i = 0; i < SHA1_DIGEST_SIZE; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", digest[i]);
    text += pair;
  }
  return text;
}

// Digest of `message` fed in pieces of `piece` bytes (0: one call).
std::string digestOf(const std::vector<uint8_t>& message, size_t piece = 0) {
  Sha1Context context;
  context.init();
  if (piece == 0) {
    context.update(message.data(), static_cast<uint32_t>(message.size()));
  } else {
    for (size_t at = 0; at < message.size(); at += piece) {
      size_t length = std::min(piece, message.size() - at);
      context.update(message.data() + at, static_cast<uint32_t>(length));
    }
  }
  uint8_t digest[SHA1_DIGEST_SIZE];
  context.finish(digest);
  return hex(digest);
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// Bytes (i * 7 + 3) mod 256, i = 0 .. length - 1.
std::vector<uint8_t> patternOf(size_t length) {
  std::vector<uint8_t> message(length);
  for (size_t i = 0; i < length; ++i) message[i] = static_cast<uint8_t>(i * 7 + 3);
  return message;
}

TEST(Sha1Context, StandardVectors) {
  EXPECT_EQ(digestOf({}), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
  EXPECT_EQ(digestOf(bytesOf("abc")), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(digestOf(bytesOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
  std::vector<uint8_t> millionA(1000000, 'a');
  EXPECT_EQ(digestOf(millionA), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
  EXPECT_EQ(digestOf(millionA, 10), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1Context, SelfTestPasses) { EXPECT_TRUE(sha1SelfTest()); }

// Around the padding boundary: up to 55 bytes the padding fits in the last
// block, from 56 bytes on it needs another one; 64 and 120 bytes fill blocks
// exactly. Reference digests from an independent implementation.
struct PaddingCase {
  size_t length;
  const char* digest;
};

class Sha1Padding : public ::testing::TestWithParam<PaddingCase> {};

TEST_P(Sha1Padding, MatchesReferenceInOneCallAndByteByByte) {
  std::vector<uint8_t> message = patternOf(GetParam().length);
  EXPECT_EQ(digestOf(message), GetParam().digest);
  EXPECT_EQ(digestOf(message, 1), GetParam().digest);
  EXPECT_EQ(digestOf(message, 13), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, Sha1Padding,
    ::testing::Values(PaddingCase{55, "DDF57317EF34BFEE3B6DF83D359098930EB278BC"},
                      PaddingCase{56, "A0D492BB0FC889D0ECA3BC137066AB6F4F74F369"},
                      PaddingCase{57, "11A02DCF95859677A62E75024067C22B165D890F"},
                      PaddingCase{63, "C55856749BEF509BDFE6BFEBFC7BF4E793E82132"},
                      PaddingCase{64, "BEDE92BE29C3874E1B54DDC77988D606FC857A8E"},
                      PaddingCase{65, "B05A80522B053D6DC7E0A517D0E70212C7DAD11F"},
                      PaddingCase{119, "504E27376A6E0F0DBA8295B85CB25DC4DFA17D23"},
                      PaddingCase{120, "82134B02FB3F702491BE9BED581EEAB59334ACB2"}));

TEST(Sha1Context, AnySplitOfTheMessageGivesTheSameDigest) {
  std::vector<uint8_t> message = patternOf(1000);
  std::string whole = digestOf(message);
  for (size_t piece : {1u, 3u, 63u, 64u, 65u, 127u, 999u}) {
    EXPECT_EQ(digestOf(message, piece), whole) << "pieces of " << piece;
  }
}

TEST(Sha1Context, SecondFinishHashesTheFirstPaddingAsMessage) {
  Sha1Context context;
  context.init();
  context.update("abc", 3);
  uint8_t first[SHA1_DIGEST_SIZE];
  uint8_t second[SHA1_DIGEST_SIZE];
  context.finish(first);
  context.finish(second);
  EXPECT_EQ(hex(first), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  // "abc", 0x80, 52 zero bytes, the 64-bit length 24: one full block.
  EXPECT_EQ(hex(second), "EC7A3886A52523332FAD6BFFD4DA8F8CE6B9A82B");

  context.init();
  context.update("abc", 3);
  context.finish(second);
  EXPECT_EQ(hex(second), hex(first)) << "init starts a fresh digest";
}

}  // namespace
}  // namespace bench
