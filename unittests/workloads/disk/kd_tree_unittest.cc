#include "workloads/disk/kd_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/random_james.h"
#include "driver/catalogue.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

using Point = std::pair<int32_t, int32_t>;

const char* const TREE_FILE = "tree.bin";

struct Node {
  int32_t flags, split, left, right;
};

Node nodeOf(CKdTree& tree, int32_t number) {
  const int32_t* record = tree.getBlock(number / 256) + (number % 256) * 4;
  return {record[0], record[1], record[2], record[3]};
}

struct Leaf {
  int32_t count, minX, maxX, minY, maxY, sumX, sumXX, sumY, sumYY;
  std::vector<Point> points;
};

Leaf leafOf(CKdTree& tree, int32_t reference) {
  const int32_t* w = tree.getBlock(-reference);
  Leaf leaf{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8], {}};
  for (int32_t i = 0; i < w[0]; ++i) leaf.points.push_back({w[10 + 2 * i], w[11 + 2 * i]});
  return leaf;
}

// Box and sums that describe exactly `points`.
void expectDescribes(const Leaf& leaf, const std::vector<Point>& points) {
  ASSERT_EQ(leaf.points, points);
  int32_t minX = points[0].first, maxX = minX, minY = points[0].second, maxY = minY;
  int32_t sumX = 0, sumXX = 0, sumY = 0, sumYY = 0;
  for (const Point& p : points) {
    minX = std::min(minX, p.first);
    maxX = std::max(maxX, p.first);
    minY = std::min(minY, p.second);
    maxY = std::max(maxY, p.second);
    sumX += p.first;
    sumXX += p.first * p.first;
    sumY += p.second;
    sumYY += p.second * p.second;
  }
  EXPECT_EQ(leaf.count, static_cast<int32_t>(points.size()));
  EXPECT_EQ(std::vector<int32_t>({leaf.minX, leaf.maxX, leaf.minY, leaf.maxY}),
            std::vector<int32_t>({minX, maxX, minY, maxY}));
  EXPECT_EQ(std::vector<int32_t>({leaf.sumX, leaf.sumXX, leaf.sumY, leaf.sumYY}),
            std::vector<int32_t>({sumX, sumXX, sumY, sumYY}));
}

// Walks the whole tree and checks it against `expected`: every leaf holds
// at most 8 distinct points, inside the bounds its path allows, with exact
// box and sums; the points are exactly `expected`; the node and leaf
// counts match the tree's.
void expectTreeHolds(CKdTree& tree, const std::set<Point>& expected) {
  std::set<Point> found;
  int32_t innerNodes = 0;
  int32_t leaves = 0;
  std::function<void(int32_t, int64_t, int64_t, int64_t, int64_t)> walk =
      [&](int32_t reference, int64_t xLow, int64_t xHigh, int64_t yLow, int64_t yHigh) {
        if (reference == 0) return;
        if (reference < 0) {
          ++leaves;
          Leaf leaf = leafOf(tree, reference);
          ASSERT_LE(leaf.count, 8);
          if (leaf.count > 0) expectDescribes(leaf, leaf.points);
          for (const Point& p : leaf.points) {
            EXPECT_TRUE(p.first >= xLow && p.first < xHigh && p.second >= yLow && p.second < yHigh)
                << p.first << "," << p.second << " in leaf " << -reference;
            EXPECT_TRUE(found.insert(p).second) << "duplicate " << p.first << "," << p.second;
          }
          return;
        }
        ++innerNodes;
        Node node = nodeOf(tree, reference);
        if (node.flags & 1) {
          walk(node.left, xLow, std::min<int64_t>(xHigh, node.split), yLow, yHigh);
          walk(node.right, std::max<int64_t>(xLow, node.split), xHigh, yLow, yHigh);
        } else {
          walk(node.left, xLow, xHigh, yLow, std::min<int64_t>(yHigh, node.split));
          walk(node.right, xLow, xHigh, std::max<int64_t>(yLow, node.split), yHigh);
        }
      };
  ++innerNodes;
  Node root = nodeOf(tree, 0);
  ASSERT_EQ(root.flags & 1, 1);
  walk(root.left, INT32_MIN, root.split, INT32_MIN, INT64_MAX);
  walk(root.right, root.split, INT64_MAX, INT32_MIN, INT64_MAX);
  EXPECT_EQ(found, expected);
  EXPECT_EQ(innerNodes, tree.innerNodes());
  EXPECT_EQ(leaves, tree.leaves());
}

class KdTreeTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir_;
};

TEST_F(KdTreeTest, FreshTreeIsARootOverTwoEmptyLeaves) {
  CKdTree tree(TREE_FILE, 5120, 2048);
  ASSERT_FALSE(tree.failed());
  EXPECT_EQ(tree.innerNodes(), 1);
  EXPECT_EQ(tree.leaves(), 2);
  EXPECT_EQ(tree.lastNode(), 0);
  EXPECT_EQ(tree.blockCount(), 3);
  EXPECT_EQ(tree.writes(), 3u);
  EXPECT_EQ(tree.reads(), 0u);
  EXPECT_EQ(tree.contains(100, 100), false);
  EXPECT_EQ(tree.contains(6000, 100), false);
  EXPECT_EQ(tree.hits(), 0);
  tree.close();

  std::string file = testing::readFile(TREE_FILE);
  ASSERT_EQ(file.size(), 3u * 4096);
  int32_t root[4];
  std::memcpy(root, file.data(), sizeof root);
  EXPECT_EQ(std::vector<int32_t>(root, root + 4), std::vector<int32_t>({1, 5120, -1, -2}));
  EXPECT_EQ(file.find_first_not_of('\0', 16), std::string::npos);  // the leaves are all 0
}

TEST_F(KdTreeTest, DuplicateInsertIsAHitAndLeavesTheLeafUnchanged) {
  CKdTree tree(TREE_FILE, 5120, 2048);
  EXPECT_TRUE(tree.insert(10, 20));
  EXPECT_TRUE(tree.insert(20, 10));
  std::vector<int32_t> before(tree.getBlock(1), tree.getBlock(1) + 1024);
  EXPECT_FALSE(tree.insert(10, 20));
  EXPECT_EQ(tree.hits(), 1);
  EXPECT_EQ(std::vector<int32_t>(tree.getBlock(1), tree.getBlock(1) + 1024), before);
  expectDescribes(leafOf(tree, -1), {{10, 20}, {20, 10}});
  EXPECT_TRUE(tree.contains(20, 10));
  EXPECT_EQ(tree.hits(), 2);
  EXPECT_FALSE(tree.contains(10, 10));
  EXPECT_EQ(tree.hits(), 2);
}

struct SplitCase {
  const char* name;
  std::vector<Point> points;  // eight points, in insertion order
  Point ninth;
  int32_t axis;
  int32_t split;
  std::vector<Point> kept;   // in the old leaf, in their old order
  std::vector<Point> moved;  // in the new leaf, then the ninth point
  bool ninthGoesRight;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class KdTreeSplitTest : public KdTreeTest, public ::testing::WithParamInterface<SplitCase> {};

// Eight points fill a leaf; the ninth splits it along the axis of the
// strictly larger spread at the mean rounded half up (sum 284 over 8 points:
// 35.5, so 36; a coordinate of 35 stays), then goes in below the new node.
TEST_P(KdTreeSplitTest, NinthPointSplitsTheLeaf) {
  const SplitCase& c = GetParam();
  CKdTree tree(TREE_FILE, 5120, 2048);
  for (const Point& p : c.points) ASSERT_TRUE(tree.insert(p.first, p.second));
  ASSERT_EQ(tree.innerNodes(), 1);
  bool inLeft = c.points[0].first < 5120;
  int32_t oldLeaf = inLeft ? -1 : -2;

  ASSERT_TRUE(tree.insert(c.ninth.first, c.ninth.second));
  EXPECT_EQ(tree.innerNodes(), 2);
  EXPECT_EQ(tree.leaves(), 3);
  EXPECT_EQ(tree.lastNode(), 1);
  Node root = nodeOf(tree, 0);
  EXPECT_EQ(inLeft ? root.left : root.right, 1);
  Node node = nodeOf(tree, 1);
  EXPECT_EQ(node.flags, c.axis);
  EXPECT_EQ(node.split, c.split);
  EXPECT_EQ(node.left, oldLeaf);
  EXPECT_EQ(node.right, -3);  // block 3, the block after the first three

  std::vector<Point> kept = c.kept;
  std::vector<Point> moved = c.moved;
  (c.ninthGoesRight ? moved : kept).push_back(c.ninth);
  expectDescribes(leafOf(tree, oldLeaf), kept);
  expectDescribes(leafOf(tree, -3), moved);
  for (const Point& p : c.points) EXPECT_TRUE(tree.contains(p.first, p.second));
}

INSTANTIATE_TEST_SUITE_P(
    Axes, KdTreeSplitTest,
    ::testing::Values(
        SplitCase{
            "XSpreadsMore",
            {{0, 100}, {40, 101}, {10, 101}, {50, 100}, {20, 100}, {60, 101}, {35, 100}, {69, 101}},
            {36, 100},
            1,
            36,
            {{0, 100}, {10, 101}, {20, 100}, {35, 100}},
            {{40, 101}, {50, 100}, {60, 101}, {69, 101}},
            true},
        SplitCase{
            "YSpreadsMore",
            {{100, 69}, {101, 0}, {100, 40}, {101, 10}, {100, 50}, {101, 20}, {100, 60}, {101, 35}},
            {101, 30},
            0,
            36,
            {{101, 0}, {101, 10}, {101, 20}, {101, 35}},
            {{100, 69}, {100, 40}, {100, 50}, {100, 60}},
            false},
        SplitCase{"EqualSpreadsChooseY",
                  {{6000, 6000},
                   {6010, 6010},
                   {6020, 6020},
                   {6035, 6035},
                   {6040, 6040},
                   {6050, 6050},
                   {6060, 6060},
                   {6069, 6069}},
                  {6000, 6036},
                  0,
                  6036,
                  {{6000, 6000}, {6010, 6010}, {6020, 6020}, {6035, 6035}},
                  {{6040, 6040}, {6050, 6050}, {6060, 6060}, {6069, 6069}},
                  true}),
    [](const ::testing::TestParamInfo<SplitCase>& param) { return param.param.name; });

// A tree file written by hand: a root whose left child is empty (0) and
// whose right child is an empty leaf.
void writeTreeWithAnEmptyChild() {
  std::vector<int32_t> words(2 * 1024, 0);
  words[0] = 1;
  words[1] = 5120;
  words[2] = 0;
  words[3] = -1;
  testing::writeFile(TREE_FILE, std::string(reinterpret_cast<const char*>(words.data()),
                                            words.size() * sizeof(int32_t)));
}

TEST_F(KdTreeTest, EmptyChildMeansAbsentAndTakesANewLeafOnInsert) {
  writeTreeWithAnEmptyChild();
  CKdTree tree(TREE_FILE, 5120, 2048);
  EXPECT_EQ(tree.innerNodes(), 1);
  EXPECT_EQ(tree.leaves(), 1);
  EXPECT_EQ(tree.lastNode(), 0);
  EXPECT_EQ(tree.reads(), 1u);
  EXPECT_FALSE(tree.contains(10, 10));    // below the 0 child
  EXPECT_FALSE(tree.contains(6000, 10));  // in the empty leaf
  EXPECT_EQ(tree.hits(), 0);

  EXPECT_TRUE(tree.insert(10, 10));
  EXPECT_EQ(tree.leaves(), 2);
  EXPECT_EQ(nodeOf(tree, 0).left, -2);
  EXPECT_TRUE(tree.contains(10, 10));
  tree.close();
  int32_t left = 0;
  std::memcpy(&left, testing::readFile(TREE_FILE).data() + 8, 4);
  EXPECT_EQ(left, -2);  // the root's new child reached the file
}

// Points of the test's first phase: uniform over the plane.
std::vector<Point> randomPoints(int count) {
  RandomJames random;
  std::vector<Point> points;
  for (int i = 0; i < count; ++i) {
    int32_t x = static_cast<int32_t>(random.next() * 10240);
    int32_t y = static_cast<int32_t>(random.next() * 10240);
    points.push_back({x, y});
  }
  return points;
}

TEST_F(KdTreeTest, NodeNumbersJumpToTheNextNodeBlock) {
  CKdTree tree(TREE_FILE, 5120, 2048);
  std::set<Point> inserted;
  for (const Point& p : randomPoints(20000)) {
    int32_t before = tree.lastNode();
    int32_t blocksBefore = tree.blockCount();
    tree.insert(p.first, p.second);
    inserted.insert(p);
    if (tree.lastNode() == before) continue;
    if (before % 256 == 255) {
      // split took block B for the new leaf, then node block B + 1 began.
      ASSERT_EQ(tree.lastNode(), 256 * (blocksBefore + 1));
      ASSERT_EQ(tree.blockCount(), blocksBefore + 2);
    } else {
      ASSERT_EQ(tree.lastNode(), before + 1);
    }
  }
  ASSERT_GT(tree.innerNodes(), 600);  // three node blocks at least
  expectTreeHolds(tree, inserted);
}

// The operations of a run of the test, in order.
struct Operation {
  bool insert;
  Point point;
  int32_t counter;  // the operation counter i
};

std::vector<Operation> testOperations(int32_t operations, int32_t inserts) {
  RandomJames random;
  std::vector<Operation> sequence;
  for (int32_t i = 1; i <= inserts; ++i) {
    int32_t x = static_cast<int32_t>(random.next() * 10240);
    int32_t y = static_cast<int32_t>(random.next() * 10240);
    sequence.push_back({true, {x, y}, i});
  }
  double px = 5120, py = 5120;
  for (int32_t i = inserts + 2; i <= operations; ++i) {
    double stepX = random.next() * 1024 - 512;
    double stepY = random.next() * 1024 - 512;
    px = wrapWalkerPosition(px + stepX);
    py = wrapWalkerPosition(py + stepY);
    bool insert = random.next() < 0.3333333333333333;
    sequence.push_back({insert, {static_cast<int32_t>(px), static_cast<int32_t>(py)}, i});
  }
  return sequence;
}

// Applies `sequence` to `tree` and to a brute-force set; every answer must
// agree. Returns the progress lines the test would print.
std::string applyAndCompare(CKdTree& tree, const std::vector<Operation>& sequence,
                            std::set<Point>& points, int32_t& hits) {
  std::string progress;
  for (const Operation& op : sequence) {
    bool present = points.count(op.point) != 0;
    if (op.insert) {
      EXPECT_EQ(tree.insert(op.point.first, op.point.second), !present) << op.counter;
      points.insert(op.point);
    } else {
      EXPECT_EQ(tree.contains(op.point.first, op.point.second), present) << op.counter;
    }
    if (present) ++hits;
    if (op.counter % 8192 == 0) {
      char line[128];
      std::snprintf(line, sizeof line, "Op: %dK, rd: %uK, wr: %uK, fl: %uK, leaf: %u, hits: %u\r",
                    op.counter / 1000, tree.reads() / 1000, tree.writes() / 1000,
                    tree.evictions() / 1000, static_cast<unsigned>(tree.leaves()),
                    static_cast<unsigned>(tree.hits()));
      progress += line;
    }
  }
  return progress;
}

// Both phases against a brute-force set of the inserted points, with the
// smallest cache (constant eviction) and with the test's own: every answer
// agrees, the trees hold exactly the inserted points, and the files the two
// caches leave behind are identical byte for byte.
TEST_F(KdTreeTest, BothPhasesAgreeWithABruteForceSetWhateverTheCacheSize) {
  std::vector<Operation> sequence = testOperations(20000, 10000);
  std::string files[2];
  int32_t slotCounts[2] = {16, 2048};
  for (int k = 0; k < 2; ++k) {
    std::string name = "tree" + std::to_string(k) + ".bin";
    CKdTree tree(name.c_str(), 5120, slotCounts[k]);
    std::set<Point> points;
    int32_t hits = 0;
    applyAndCompare(tree, sequence, points, hits);
    EXPECT_EQ(tree.hits(), hits);
    EXPECT_GT(hits, 0);
    expectTreeHolds(tree, points);
    // A neighbour of an inserted point that was never inserted is absent.
    int32_t hitsBefore = tree.hits();
    for (const Point& p : points) {
      Point near{p.first + 1, p.second};
      if (points.count(near) == 0) {
        EXPECT_FALSE(tree.contains(near.first, near.second));
      }
    }
    EXPECT_EQ(tree.hits(), hitsBefore);
    if (k == 0) {
      EXPECT_GT(tree.evictions(), 1000u);  // the small cache was exercised
    }
    tree.close();
    ASSERT_FALSE(tree.failed());
    files[k] = testing::readFile(name);
  }
  EXPECT_EQ(files[0].size(), files[1].size());
  EXPECT_TRUE(files[0] == files[1]);
}

// A tree closed and opened again is recovered: same counts, same points,
// and it goes on numbering nodes where it stopped, so continuing it gives
// the same file as building everything in one go.
TEST_F(KdTreeTest, ReopenedTreeIsRecoveredAndContinuesAsIfNeverClosed) {
  std::vector<Point> points = randomPoints(6000);
  std::set<Point> firstPart(points.begin(), points.begin() + 3000);
  std::set<Point> all(points.begin(), points.end());
  {
    CKdTree whole("whole.bin", 5120, 2048);
    for (const Point& p : points) whole.insert(p.first, p.second);
  }
  int32_t innerNodes, leaves, lastNode;
  {
    CKdTree tree(TREE_FILE, 5120, 16);
    for (int i = 0; i < 3000; ++i) tree.insert(points[i].first, points[i].second);
    innerNodes = tree.innerNodes();
    leaves = tree.leaves();
    lastNode = tree.lastNode();
  }
  CKdTree tree(TREE_FILE, 9999, 16);  // the root split given here is not used
  EXPECT_EQ(tree.innerNodes(), innerNodes);
  EXPECT_EQ(tree.leaves(), leaves);
  EXPECT_EQ(tree.lastNode(), lastNode);
  EXPECT_EQ(tree.hits(), 0);
  expectTreeHolds(tree, firstPart);
  for (int i = 3000; i < 6000; ++i) tree.insert(points[i].first, points[i].second);
  expectTreeHolds(tree, all);
  tree.close();
  EXPECT_TRUE(testing::readFile(TREE_FILE) == testing::readFile("whole.bin"));
}

struct WrapCase {
  double position;  // after the step
  double wrapped;
};

void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.position << " -> " << c.wrapped; }

class WalkerWrapTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WalkerWrapTest, WrapsBelowOneUpAndFromTheTopDown) {
  EXPECT_EQ(wrapWalkerPosition(GetParam().position), GetParam().wrapped);
}

INSTANTIATE_TEST_SUITE_P(Positions, WalkerWrapTest,
                         ::testing::Values(WrapCase{0.5, 0.5},  // both corrections in turn
                                           WrapCase{1.0, 1.0}, WrapCase{0.75, 0.75},
                                           WrapCase{-100.25, 10139.75}, WrapCase{-1.0, -1.0},
                                           WrapCase{5120.0, 5120.0}, WrapCase{10238.5, 10238.5},
                                           WrapCase{10239.0, -1.0}, WrapCase{10300.0, 60.0}));

// Runs of the test routine itself, small enough for a unit test.
class KdTreeRunTest : public KdTreeTest {
 protected:
  ~KdTreeRunTest() override { runSettings.superBriefMode = false; }
  testing::ScopedFakeTime time_{20000};
};

TEST_F(KdTreeRunTest, SmallRunPrintsProgressInBothPhasesAndTheSnapshot) {
  std::vector<Operation> sequence = testOperations(20000, 10000);
  std::set<Point> points;
  int32_t hits = 0;
  std::string expected;
  char line[160];
  {
    CKdTree reference("reference.bin", 5120, 2048);
    expected = applyAndCompare(reference, sequence, points, hits);
    ASSERT_EQ(reference.hits(), hits);
    std::snprintf(line, sizeof line,
                  "Adaptive K-D tree on disk: operations: 20K, elapsed time: 20.00 sec\n"
                  "Block reads: %uK, writes: %uK, flushes: %uK, leaf nodes: %u, hits: %u\n",
                  reference.reads() / 1000, reference.writes() / 1000, reference.evictions() / 1000,
                  static_cast<unsigned>(reference.leaves()),
                  static_cast<unsigned>(reference.hits()));
  }
  expected += line;
  ASSERT_EQ(std::count(expected.begin(), expected.end(), '\r'), 2);  // 8192 and 16384

  ::testing::internal::CaptureStdout();
  KdTreeSnapshot snapshot;
  Outcome result = kdTreeRun(20000, 10000, &snapshot);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, Outcome::time(20000));
  EXPECT_EQ(out, expected);
  EXPECT_EQ(snapshot.hits, hits);
  EXPECT_FALSE(std::filesystem::exists("akd-tree.bin"));
}

TEST_F(KdTreeRunTest, SkippedCounterValueHasNoOperationAndSuperBriefKeepsProgressOnly) {
  runSettings.superBriefMode = true;
  // Phase 1 ends at 8191, so the phase-2 counter starts at 8193: no
  // operation and no progress line at 8192.
  ::testing::internal::CaptureStdout();
  KdTreeSnapshot snapshot;
  EXPECT_EQ(kdTreeRun(8300, 8191, &snapshot), Outcome::time(20000));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

  ::testing::internal::CaptureStdout();
  kdTreeRun(16400, 8192, &snapshot);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("Op: 8K, rd: 0K, wr: ", 0), 0u) << out;
  EXPECT_NE(out.find("\rOp: 16K, rd: "), std::string::npos) << out;
  EXPECT_EQ(out.find('\n'), std::string::npos) << out;
}

TEST_F(KdTreeRunTest, TreeFileThatCannotBeCreatedFailsTheTest) {
  std::filesystem::create_directories("akd-tree.bin/occupied");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  Outcome result = kdTreeRun(20000, 10000, nullptr);
  std::string err = ::testing::internal::GetCapturedStderr();
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, Outcome::failed());
  EXPECT_EQ(err, std::string("akd-tree.bin: cannot create or open: ") +
                     std::strerror(testing::directoryOpenErrno("w+b")) + "\n");
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace bench
