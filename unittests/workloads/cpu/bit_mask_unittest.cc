#include "workloads/cpu/bit_mask.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/memory.h"

namespace bench {
namespace {

// Makes every commitMemory request fail while alive.
class ScopedCommitFailure {
 public:
  ScopedCommitFailure() { platform::setCommitFailureForTesting(1); }
  ~ScopedCommitFailure() { platform::setCommitFailureForTesting(0); }
};

// The indices in [low, high) whose bits are set.
std::vector<int32_t> setBits(const CBitMask& mask) {
  std::vector<int32_t> bits;
  for (int32_t i = mask.low(); i < mask.high(); ++i) {
    if (mask.test(i)) bits.push_back(i);
  }
  return bits;
}

// A mask over [0, 16) with bits 0, 7 and 15 set.
CBitMask makeSample() {
  CBitMask mask;
  EXPECT_TRUE(mask.include(15));
  mask.set(0);
  mask.set(7);
  mask.set(15);
  return mask;
}

struct IncludeCase {
  const char* name;
  int32_t bit;
  int32_t size;  // expected after include
  int32_t low;
  int32_t high;
};

class CBitMaskInclude : public ::testing::TestWithParam<IncludeCase> {};

TEST_P(CBitMaskInclude, GrowsToTheExpectedRangeKeepingBits) {
  CBitMask mask = makeSample();
  const IncludeCase& c = GetParam();
  EXPECT_TRUE(mask.include(c.bit));
  EXPECT_EQ(mask.size(), c.size);
  EXPECT_EQ(mask.low(), c.low);
  EXPECT_EQ(mask.high(), c.high);
  EXPECT_EQ(mask.high(), mask.low() + mask.size() * 8);
  EXPECT_EQ(setBits(mask), (std::vector<int32_t>{0, 7, 15}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CBitMaskInclude,
    ::testing::Values(IncludeCase{"Inside", 9, 2, 0, 16}, IncludeCase{"LowestHeld", 0, 2, 0, 16},
                      IncludeCase{"HighestHeld", 15, 2, 0, 16},
                      IncludeCase{"OneBelowLow", -1, 3, -8, 16},
                      IncludeCase{"ByteBelowLow", -8, 3, -8, 16},
                      IncludeCase{"FarBelowLow", -100, 15, -104, 16},
                      IncludeCase{"High", 16, 3, 0, 24}, IncludeCase{"ByteAboveHigh", 23, 3, 0, 24},
                      IncludeCase{"FarAboveHigh", 1000, 126, 0, 1008}),
    [](const ::testing::TestParamInfo<IncludeCase>& caseInfo) { return caseInfo.param.name; });

TEST(CBitMask, IncludeOnAnEmptyMaskAndTheSieveRange) {
  CBitMask mask;
  EXPECT_EQ(mask.data(), nullptr);
  ASSERT_TRUE(mask.include(2));
  EXPECT_EQ(mask.size(), 1);
  EXPECT_EQ(mask.low(), 0);
  EXPECT_EQ(mask.high(), 8);
  ASSERT_TRUE(mask.include(100000000));
  EXPECT_EQ(mask.size(), 12500001);
  EXPECT_EQ(mask.high(), 100000008);
  EXPECT_FALSE(mask.test(2));
  EXPECT_FALSE(mask.test(100000007));
}

TEST(CBitMask, IncludeInsideTheRangeKeepsTheStorage) {
  CBitMask mask = makeSample();
  const uint8_t* before = mask.data();
  EXPECT_TRUE(mask.include(8));
  EXPECT_EQ(mask.data(), before);
}

TEST(CBitMask, NewBitsAreZeroAtBothEnds) {
  CBitMask mask = makeSample();
  ASSERT_TRUE(mask.include(-20));
  ASSERT_TRUE(mask.include(40));
  EXPECT_EQ(setBits(mask), (std::vector<int32_t>{0, 7, 15}));
  mask.set(-20);
  mask.set(40);
  EXPECT_EQ(setBits(mask), (std::vector<int32_t>{-20, 0, 7, 15, 40}));
}

TEST(CBitMask, CopiesOwnTheirStorage) {
  CBitMask original = makeSample();
  ASSERT_TRUE(original.include(-3));

  CBitMask copied(original);
  std::unique_ptr<CBitMask> cloned = original.clone();
  CBitMask assigned;
  ASSERT_TRUE(assigned.include(500));
  ASSERT_TRUE(assigned.assign(&original));
  ASSERT_NE(cloned, nullptr);

  for (const CBitMask* copy : {&copied, cloned.get(), &assigned}) {
    EXPECT_NE(copy->data(), original.data());
    EXPECT_EQ(copy->size(), original.size());
    EXPECT_EQ(copy->low(), original.low());
    EXPECT_EQ(copy->high(), original.high());
    EXPECT_EQ(setBits(*copy), setBits(original));
  }
  copied.set(3);
  EXPECT_FALSE(original.test(3));
}

TEST(CBitMask, EmptyCloneAndNullAssignLeaveEmptyMasks) {
  CBitMask empty;
  std::unique_ptr<CBitMask> cloned = empty.clone();
  ASSERT_NE(cloned, nullptr);
  EXPECT_EQ(cloned->data(), nullptr);
  EXPECT_EQ(cloned->size(), 0);
  EXPECT_EQ(cloned->low(), 0);
  EXPECT_EQ(cloned->high(), 0);

  CBitMask mask = makeSample();
  EXPECT_TRUE(mask.assign(nullptr));
  EXPECT_EQ(mask.data(), nullptr);
  EXPECT_EQ(mask.size(), 0);
  EXPECT_EQ(mask.high(), 0);
}

TEST(CBitMask, SelfAssignKeepsTheBits) {
  CBitMask mask = makeSample();
  EXPECT_TRUE(mask.assign(&mask));
  EXPECT_EQ(setBits(mask), (std::vector<int32_t>{0, 7, 15}));
}

TEST(CBitMask, RefusedStorageIsReportedAndLeavesTheMaskUsable) {
  CBitMask mask = makeSample();
  ScopedCommitFailure failure;
  EXPECT_FALSE(mask.include(100));
  EXPECT_FALSE(mask.include(-100));
  EXPECT_EQ(mask.low(), 0);
  EXPECT_EQ(mask.high(), 16);
  EXPECT_EQ(setBits(mask), (std::vector<int32_t>{0, 7, 15}));

  EXPECT_EQ(mask.clone(), nullptr);
  CBitMask copied(mask);
  EXPECT_EQ(copied.size(), 0);
  EXPECT_EQ(copied.data(), nullptr);
  CBitMask assigned;
  EXPECT_FALSE(assigned.assign(&mask));
  EXPECT_EQ(assigned.size(), 0);
  EXPECT_EQ(assigned.high(), 0);
}

}  // namespace
}  // namespace bench
