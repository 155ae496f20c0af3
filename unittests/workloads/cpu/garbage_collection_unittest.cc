#include "workloads/cpu/garbage_collection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/catalogue.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

TEST(GcAccounting, OwnWeightRoundsThePayloadUpWithItsHeader) {
  struct {
    int32_t payloadLength;
    int32_t weight;
  } const cases[] = {{0, 32}, {12, 56}, {13, 64}, {20, 64}, {21, 72}, {155, 200}};
  for (const auto& c : cases) {
    GcNode* node = newGcNode(nullptr, c.payloadLength);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(gcOwnWeight(*node), c.weight) << "payload " << c.payloadLength;
    EXPECT_EQ(node->size, c.weight);
    EXPECT_EQ(node->payload == nullptr, c.payloadLength == 0);
    freeGcSubtree(node);
  }
}

// root (32) -+- a (12: 56) --- b (20: 64) on a's child1
//            +- c (155: 200)
class GcTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root = newGcNode(nullptr, 0);
    a = root->child0 = newGcNode(root, 12);
    c = root->child1 = newGcNode(root, 155);
    b = a->child1 = newGcNode(a, 20);
  }
  void TearDown() override { freeGcSubtree(root); }

  GcNode* root = nullptr;
  GcNode* a = nullptr;
  GcNode* b = nullptr;
  GcNode* c = nullptr;
};

TEST_F(GcTree, SizesAddUpAlongThePathToTheRoot) {
  EXPECT_EQ(root->size, 32);  // nothing recomputed yet
  updateGcSizes(b);
  EXPECT_EQ(b->size, 64);
  EXPECT_EQ(a->size, 56 + 64);
  EXPECT_EQ(root->size, 32 + 120 + 200);
  EXPECT_EQ(b->parent, a);
  EXPECT_EQ(a->parent, root);
}

TEST_F(GcTree, CuttingASubtreeShrinksEveryAncestor) {
  updateGcSizes(b);
  freeGcSubtree(root->child0);  // a and b with their payloads
  root->child0 = nullptr;
  updateGcSizes(root);
  EXPECT_EQ(root->size, 32 + 200);
  freeGcSubtree(c);
  root->child1 = nullptr;
  updateGcSizes(root);
  EXPECT_EQ(root->size, 32);
}

// A chain far deeper than any call stack could recurse through.
TEST(GcWalks, AMillionLevelChainIsSizedAndFreedWithoutRecursion) {
  constexpr int32_t LEVELS = 1000000;
  GcNode* root = newGcNode(nullptr, 0);
  GcNode* node = root;
  int64_t expected = 32;
  for (int32_t level = 1; level < LEVELS; ++level) {
    GcNode* child = newGcNode(node, 12 + level % 2);
    ASSERT_NE(child, nullptr);
    (level % 3 == 0 ? node->child0 : node->child1) = child;
    expected += gcOwnWeight(*child);
    node = child;
  }
  updateGcSizes(node);
  EXPECT_EQ(root->size, expected);
  freeGcSubtree(root);  // leaks or a crash fail the sanitizer build
}

std::string gcProgress() {
  std::string lines;
  char line[16];
  for (int32_t op = 32768; op <= 1000000; op += 32768) {
    std::snprintf(line, sizeof line, "%3.0f%%\r", op * 100.0 / 1000000.0);
    lines += line;
  }
  return lines;
}

// The full repetition: progress, and the line with the growth to the nearest
// megabyte (a total above 2^31 bytes) and the peak to the nearest kilobyte.
TEST(GarbageCollectionTest, OneRepetitionPrintsItsStatistics) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(garbageCollectionTest(), Outcome::time(20000));
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string progress = gcProgress();
  ASSERT_EQ(out.substr(0, progress.size()), progress);
  unsigned megabytes = 0;
  int kilobytes = 0;
  char tail[64] = "";
  ASSERT_EQ(std::sscanf(out.c_str() + progress.size(),
                        "Garbage collection test in 16MB of VM (%u MB, max %d KB), time: %63[^\n]",
                        &megabytes, &kilobytes, tail),
            3)
      << out;
  EXPECT_STREQ(tail, "20.00 sec");
  EXPECT_EQ(out.back(), '\n');
  EXPECT_GT(megabytes, 2048u);
  EXPECT_GT(kilobytes, 0);
}

// Allocation 1 is the root, 2 the first node, 3 its payload; later ones
// fail in the middle of the churn with a large tree to free.
class GcAllocationFailure : public ::testing::TestWithParam<int64_t> {};

TEST_P(GcAllocationFailure, ReportsTheFailureInsteadOfATime) {
  testing::ScopedFakeTime time;
  setGcAllocationFailureForTesting(GetParam());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(garbageCollectionTest(), Outcome::noMemory());
  const std::string err = ::testing::internal::GetCapturedStderr();
  const std::string out = ::testing::internal::GetCapturedStdout();
  setGcAllocationFailureForTesting(0);
  EXPECT_EQ(err, "");  // the harness names the memory that could not be had
  EXPECT_EQ(out.find("Garbage collection test in"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Allocations, GcAllocationFailure,
                         ::testing::Values(1, 2, 3, 200001, 200002));

}  // namespace
}  // namespace bench
