#include "workloads/disk/kd_tree.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/random_james.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "run/outcome.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

// Word offsets of an inner node record.
constexpr int32_t NODE_FLAGS = 0;
constexpr int32_t NODE_SPLIT = 1;
constexpr int32_t NODE_LEFT = 2;
constexpr int32_t NODE_RIGHT = 3;
constexpr int32_t NODE_WORDS = 4;

// Word offsets of a leaf block.
constexpr int32_t LEAF_COUNT = 0;
constexpr int32_t LEAF_MIN_X = 1;
constexpr int32_t LEAF_MAX_X = 2;
constexpr int32_t LEAF_MIN_Y = 3;
constexpr int32_t LEAF_MAX_Y = 4;
constexpr int32_t LEAF_SUM_X = 5;
constexpr int32_t LEAF_SUM_XX = 6;
constexpr int32_t LEAF_SUM_Y = 7;
constexpr int32_t LEAF_SUM_YY = 8;
constexpr int32_t LEAF_POINTS = 10;

constexpr int32_t AXIS_X = 1;

const char* const TREE_FILE = "akd-tree.bin";
constexpr int32_t ROOT_SPLIT = 5120;
constexpr int32_t CACHE_SLOTS = 2048;
constexpr int32_t PLANE_SIZE = 10240;
constexpr int32_t PROGRESS_STEP = 8192;

// The sums are int32 by the file format. With the test's coordinates they
// never overflow; wrapping arithmetic keeps other inputs defined.
int32_t wrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrappingSquare(int32_t a) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(a));
}

// Widens the leaf's bounding box to cover (x, y). Both bounds are tested,
// since a split starts from an inverted box.
void widenBox(int32_t* leaf, int32_t x, int32_t y) {
  if (x < leaf[LEAF_MIN_X]) leaf[LEAF_MIN_X] = x;
  if (x > leaf[LEAF_MAX_X]) leaf[LEAF_MAX_X] = x;
  if (y < leaf[LEAF_MIN_Y]) leaf[LEAF_MIN_Y] = y;
  if (y > leaf[LEAF_MAX_Y]) leaf[LEAF_MAX_Y] = y;
}

// Adds (sign 1) or removes (sign -1) a point's share of the leaf's sums.
void addToSums(int32_t* leaf, int32_t x, int32_t y, int32_t sign) {
  leaf[LEAF_SUM_X] = wrappingAdd(leaf[LEAF_SUM_X], sign * x);
  leaf[LEAF_SUM_XX] = wrappingAdd(leaf[LEAF_SUM_XX], sign * wrappingSquare(x));
  leaf[LEAF_SUM_Y] = wrappingAdd(leaf[LEAF_SUM_Y], sign * y);
  leaf[LEAF_SUM_YY] = wrappingAdd(leaf[LEAF_SUM_YY], sign * wrappingSquare(y));
}

void printProgressLine(int32_t operation, const CKdTree& tree) {
  std::printf("Op: %dK, rd: %uK, wr: %uK, fl: %uK, leaf: %u, hits: %u\r", operation / 1000,
              tree.reads() / 1000, tree.writes() / 1000, tree.evictions() / 1000,
              static_cast<unsigned>(tree.leaves()), static_cast<unsigned>(tree.hits()));
  std::fflush(stdout);
}

}  // namespace

CKdTree::CKdTree(const char* name, int32_t rootSplit, int32_t slotCount)
    : CBlockCache(name, slotCount) {
  if (failed()) return;
  if (const int32_t* root = getBlock(0)) {
    innerNodes_ = 1;
    lastNode_ = 0;
    int32_t left = root[NODE_LEFT];
    int32_t right = root[NODE_RIGHT];
    countSubtree(left);
    countSubtree(right);
    return;
  }
  lastNode_ = -1;
  int32_t* root;
  if (newNode(AXIS_X, rootSplit, 0, 0, &root) != 0) return;
  int32_t left = newLeaf();
  int32_t right = newLeaf();
  // The root's block is still dirty from newNode; it was used two new
  // blocks ago, so its slot is still the one obtained there.
  assert(holdsBlock(root, 0));
  root[NODE_LEFT] = left;
  root[NODE_RIGHT] = right;
}

void CKdTree::countSubtree(int32_t node) {
  while (node != 0) {
    if (node < 0) {
      ++leaves_;
      return;
    }
    if (node > lastNode_) lastNode_ = node;
    ++innerNodes_;
    const int32_t* block = getBlock(node / NODES_PER_BLOCK);
    if (block == nullptr) return;
    const int32_t* record = block + (node % NODES_PER_BLOCK) * NODE_WORDS;
    // Both children are read before descending, so no slot pointer is held
    // across the recursion.
    int32_t left = record[NODE_LEFT];
    int32_t right = record[NODE_RIGHT];
    countSubtree(left);
    node = right;
  }
}

bool CKdTree::insert(int32_t x, int32_t y) { return insertFrom(0, x, y); }

bool CKdTree::contains(int32_t x, int32_t y) {
  int32_t node = 0;
  for (;;) {
    const int32_t* block = getBlock(node / NODES_PER_BLOCK);
    if (block == nullptr) return false;
    const int32_t* record = block + (node % NODES_PER_BLOCK) * NODE_WORDS;
    int32_t key = (record[NODE_FLAGS] & 1) != 0 ? x : y;
    int32_t child = key < record[NODE_SPLIT] ? record[NODE_LEFT] : record[NODE_RIGHT];
    if (child == 0) return false;
    if (child > 0) {
      node = child;
      continue;
    }
    const int32_t* leaf = getBlock(-child);
    if (leaf == nullptr) return false;
    const int32_t* point = leaf + LEAF_POINTS;
    for (int32_t i = 0; i < leaf[LEAF_COUNT]; ++i, point += 2) {
      if (point[0] == x && point[1] == y) {
        ++hits_;
        return true;
      }
    }
    return false;
  }
}

int32_t CKdTree::newNode(int32_t flags, int32_t split, int32_t left, int32_t right,
                         int32_t** recordOut) {
  ++lastNode_;
  int32_t* block;
  if (lastNode_ % NODES_PER_BLOCK == 0) {
    // The current node block is full, or there is none yet: node numbers
    // jump to the first record of a fresh block.
    int32_t number;
    block = newBlock(&number);
    if (block == nullptr) return -1;
    lastNode_ = NODES_PER_BLOCK * number;
  } else {
    block = getBlock(lastNode_ / NODES_PER_BLOCK);
    if (block == nullptr) return -1;
  }
  int32_t* record = block + (lastNode_ % NODES_PER_BLOCK) * NODE_WORDS;
  record[NODE_FLAGS] = flags;
  record[NODE_SPLIT] = split;
  record[NODE_LEFT] = left;
  record[NODE_RIGHT] = right;
  markDirty(lastNode_ / NODES_PER_BLOCK);
  ++innerNodes_;
  if (recordOut != nullptr) *recordOut = record;
  return lastNode_;
}

int32_t CKdTree::newLeaf(int32_t** slot) {
  int32_t number;
  int32_t* leaf = newBlock(&number);
  if (leaf == nullptr) return 0;
  std::memset(leaf, 0, BLOCK_SIZE);
  markDirty(number);
  ++leaves_;
  *slot = leaf;
  return -number;
}

// Slot pointers held across calls. insertFrom keeps the parent node's slot
// (through its child word) while the leaf below is filled or split, and
// insertIntoLeaf keeps the leaf's slot while split takes a new block. That
// is sound only because the cache replaces the least recently used slot:
// a block used by the current insertion survives the next slotCount - 1
// loads or new blocks, and one insertion takes only a few (the cache has at
// least 16 slots). The assertions check this before a held pointer is
// written through, so a change to the replacement policy cannot corrupt the
// tree unnoticed in debug builds.

bool CKdTree::insertFrom(int32_t node, int32_t x, int32_t y) {
  for (;;) {
    int32_t nodeBlock = node / NODES_PER_BLOCK;
    int32_t* block = getBlock(nodeBlock);
    if (block == nullptr) return false;
    int32_t* record = block + (node % NODES_PER_BLOCK) * NODE_WORDS;
    int32_t key = (record[NODE_FLAGS] & 1) != 0 ? x : y;
    int32_t* child = key >= record[NODE_SPLIT] ? &record[NODE_RIGHT] : &record[NODE_LEFT];
    int32_t reference = *child;
    if (reference == 0) {
      reference = newLeaf();
      if (reference == 0) return false;
      assert(holdsBlock(child, nodeBlock));
      *child = reference;
      markDirty(nodeBlock);
    }
    if (reference > 0) {
      node = reference;
      continue;
    }
    bool added = insertIntoLeaf(child, nodeBlock, x, y);
    assert(holdsBlock(child, nodeBlock));
    // A split replaced the leaf by a new inner node.
    if (*child != reference) markDirty(nodeBlock);
    return added;
  }
}

bool CKdTree::insertIntoLeaf(int32_t* childWord, [[maybe_unused]] int32_t parentBlock, int32_t x,
                             int32_t y) {
  int32_t leafBlock = -*childWord;
  int32_t* leaf = getBlock(leafBlock);
  if (leaf == nullptr) {
    // A reference beyond the end of the file: an empty leaf takes its place.
    int32_t reference = newLeaf(&leaf);
    if (reference == 0) return false;
    assert(holdsBlock(childWord, parentBlock));
    *childWord = reference;
    leafBlock = -reference;
  }
  int32_t count = leaf[LEAF_COUNT];
  const int32_t* point = leaf + LEAF_POINTS;
  for (int32_t i = 0; i < count; ++i, point += 2) {
    if (point[0] == x && point[1] == y) {
      ++hits_;
      return false;
    }
  }
  if (count == LEAF_CAPACITY) {
    int32_t axis;
    int32_t splitValue;
    int32_t right = split(leaf, leafBlock, &axis, &splitValue);
    if (right == 0) return false;
    markDirty(leafBlock);
    int32_t node = newNode(axis, splitValue, -leafBlock, right);
    if (node < 0) return false;
    assert(holdsBlock(childWord, parentBlock));
    *childWord = node;
    // The point goes in afresh below the new node.
    return insertFrom(node, x, y);
  }
  leaf[LEAF_POINTS + 2 * count] = x;
  leaf[LEAF_POINTS + 2 * count + 1] = y;
  leaf[LEAF_COUNT] = count + 1;
  if (count == 0) {
    leaf[LEAF_MIN_X] = leaf[LEAF_MAX_X] = x;
    leaf[LEAF_MIN_Y] = leaf[LEAF_MAX_Y] = y;
  } else {
    widenBox(leaf, x, y);
  }
  addToSums(leaf, x, y, 1);
  markDirty(leafBlock);
  return true;
}

int32_t CKdTree::split(int32_t* leaf, [[maybe_unused]] int32_t leafBlock, int32_t* axis,
                       int32_t* splitValue) {
  int32_t* fresh;
  int32_t right = newLeaf(&fresh);
  if (right == 0) return 0;
  assert(holdsBlock(leaf, leafBlock));

  // Spreads n * sum(v^2) - sum(v)^2 need 64 bits.
  int32_t count = leaf[LEAF_COUNT];
  int64_t spreadX = static_cast<int64_t>(count) * leaf[LEAF_SUM_XX] -
                    static_cast<int64_t>(leaf[LEAF_SUM_X]) * leaf[LEAF_SUM_X];
  int64_t spreadY = static_cast<int64_t>(count) * leaf[LEAF_SUM_YY] -
                    static_cast<int64_t>(leaf[LEAF_SUM_Y]) * leaf[LEAF_SUM_Y];
  // The axis of the strictly larger spread (y on a tie), split at the mean
  // rounded half up; both sides then receive at least one point.
  int32_t splitAxis = spreadY < spreadX ? AXIS_X : 0;
  int32_t sum = splitAxis == AXIS_X ? leaf[LEAF_SUM_X] : leaf[LEAF_SUM_Y];
  int32_t splitAt = (sum + count / 2) / count;

  // Both leaves start from the inverted box, so the first point widened in
  // sets both bounds.
  int32_t minX = leaf[LEAF_MAX_X];
  int32_t maxX = leaf[LEAF_MIN_X];
  int32_t minY = leaf[LEAF_MAX_Y];
  int32_t maxY = leaf[LEAF_MIN_Y];
  leaf[LEAF_MIN_X] = fresh[LEAF_MIN_X] = minX;
  leaf[LEAF_MAX_X] = fresh[LEAF_MAX_X] = maxX;
  leaf[LEAF_MIN_Y] = fresh[LEAF_MIN_Y] = minY;
  leaf[LEAF_MAX_Y] = fresh[LEAF_MAX_Y] = maxY;

  int32_t kept = 0;
  for (int32_t i = 0; i < count; ++i) {
    int32_t x = leaf[LEAF_POINTS + 2 * i];
    int32_t y = leaf[LEAF_POINTS + 2 * i + 1];
    if (kept < i) {
      leaf[LEAF_POINTS + 2 * kept] = x;
      leaf[LEAF_POINTS + 2 * kept + 1] = y;
    }
    int32_t key = splitAxis == AXIS_X ? x : y;
    if (key < splitAt) {
      ++kept;
      widenBox(leaf, x, y);
    } else {
      addToSums(leaf, x, y, -1);
      addToSums(fresh, x, y, 1);
      widenBox(fresh, x, y);
      --leaf[LEAF_COUNT];
      int32_t moved = fresh[LEAF_COUNT]++;
      fresh[LEAF_POINTS + 2 * moved] = x;
      fresh[LEAF_POINTS + 2 * moved + 1] = y;
    }
  }
  markDirty(-right);
  *axis = splitAxis;
  *splitValue = splitAt;
  return right;
}

double wrapWalkerPosition(double position) {
  if (position < 1) position += PLANE_SIZE;
  if (position >= PLANE_SIZE - 1) position -= PLANE_SIZE;
  return position;
}

Outcome kdTreeRun(int32_t operations, int32_t inserts, KdTreeSnapshot* snapshot) {
  platform::removeFile(TREE_FILE);
  platform::ScopedInterruptFiles interruptCleanup(&TREE_FILE, 1);
  timerStart();
  RandomJames random;
  CKdTree tree(TREE_FILE, ROOT_SPLIT, CACHE_SLOTS);

  // A failed transfer stops the run at once: the measurement is void.
  bool failed = tree.failed();
  for (int32_t i = 1; i <= inserts && !failed; ++i) {
    int32_t x = static_cast<int32_t>(random.next() * PLANE_SIZE);
    int32_t y = static_cast<int32_t>(random.next() * PLANE_SIZE);
    tree.insert(x, y);
    failed = tree.failed();
    if (!failed && i % PROGRESS_STEP == 0) printProgressLine(i, tree);
  }

  // The walker's counter skips the value inserts + 1, so one operation
  // fewer than `operations` is done in all.
  double px = ROOT_SPLIT;
  double py = ROOT_SPLIT;
  for (int32_t i = inserts + 2; i <= operations && !failed; ++i) {
    double stepX = random.next() * 1024 - 512;
    double stepY = random.next() * 1024 - 512;
    px = wrapWalkerPosition(px + stepX);
    py = wrapWalkerPosition(py + stepY);
    double r = random.next();
    int32_t x = static_cast<int32_t>(px);
    int32_t y = static_cast<int32_t>(py);
    if (r < 0.3333333333333333) {
      tree.insert(x, y);
    } else {
      tree.contains(x, y);
    }
    failed = tree.failed();
    if (!failed && i % PROGRESS_STEP == 0) printProgressLine(i, tree);
  }

  // The final write-back at close is not part of the reported traffic.
  KdTreeSnapshot taken;
  taken.reads = tree.reads();
  taken.writes = tree.writes();
  taken.evictions = tree.evictions();
  taken.leaves = tree.leaves();
  taken.hits = tree.hits();
  taken.blocks = tree.blockCount();
  tree.close();
  platform::removeFile(TREE_FILE);
  int32_t elapsed = timerElapsed();
  if (tree.failed()) {
    tree.reportFailure();
    return Outcome::failed();
  }
  if (snapshot != nullptr) *snapshot = taken;

  if (!runSettings.superBriefMode) {
    printResult("Adaptive K-D tree on disk: operations: %dK, elapsed time: %.2f sec\n",
                operations / 1000, elapsed * 0.001);
    printResult("Block reads: %uK, writes: %uK, flushes: %uK, leaf nodes: %u, hits: %u\n",
                taken.reads / 1000, taken.writes / 1000, taken.evictions / 1000,
                static_cast<unsigned>(taken.leaves), static_cast<unsigned>(taken.hits));
  }
  return Outcome::time(elapsed);
}

Outcome kdTreeOnDisk(int selector) {
  struct Size {
    int32_t operations;
    int32_t inserts;
  };
  static constexpr Size SIZES[2] = {{150000, 50000}, {1500000, 500000}};
  if (selector < 0 || selector > 1) std::abort();
  return kdTreeRun(SIZES[selector].operations, SIZES[selector].inserts, nullptr);
}

}  // namespace bench
