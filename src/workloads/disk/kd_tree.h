// CKdTree: an adaptive two-dimensional K-D tree of integer points whose
// inner nodes and leaf buckets live in 4096-byte blocks of one file, reached
// through the block cache it derives from. A full leaf (8 points) is split
// along the axis in which its points spread more, at the rounded mean of
// their coordinates. kdTreeOnDisk is the benchmark behind tests 11 and 21.
//
// File layout, native int32 words:
// - Inner nodes are 16-byte records, 256 to a node block: flags (bit 0 is
//   the axis: 1 = x, 0 = y), split value, left child (key < split), right
//   child (key >= split). Node n is record n % 256 of block n / 256; the
//   root is node 0 in block 0. Node numbers run on within a node block and
//   jump to 256 x (block number) when a new node block is started.
// - A leaf is one whole block: count (0..8), min x, max x, min y, max y,
//   sum x, sum x^2, sum y, sum y^2, a reserved 0, then up to 8 points as
//   x, y. Box and sums describe exactly the leaf's points.
// - A child word r > 0 is inner node r, r < 0 the leaf in block -r, 0 none.
//
// Owns its cache (and so its file) until close(). Used by one thread at a
// time.
#ifndef BENCH_WORKLOADS_DISK_KD_TREE_H_
#define BENCH_WORKLOADS_DISK_KD_TREE_H_

#include <cstdint>

#include "run/outcome.h"
#include "workloads/disk/block_cache.h"

namespace bench {

class CKdTree : public CBlockCache {
 public:
  static constexpr int32_t LEAF_CAPACITY = 8;
  static constexpr int32_t NODES_PER_BLOCK = 256;

  // Opens the cache over `name` with `slotCount` slots. A file that already
  // holds a tree is recovered (its nodes and leaves are counted); otherwise
  // a root splitting x at `rootSplit` with two empty leaves is written.
  // When the cache failed (failed()), the tree is empty and unusable.
  CKdTree(const char* name, int32_t rootSplit, int32_t slotCount);

  // Adds (x, y); false when the point was already present (a hit) or the
  // cache has failed.
  bool insert(int32_t x, int32_t y);

  // True when (x, y) is present (a hit).
  bool contains(int32_t x, int32_t y);

  int32_t lastNode() const { return lastNode_; }
  int32_t innerNodes() const { return innerNodes_; }
  int32_t leaves() const { return leaves_; }
  int32_t hits() const { return hits_; }

 private:
  // Counts the subtree at reference `node` of a recovered tree.
  void countSubtree(int32_t node);

  // Writes a new inner node record and returns its number (and the record's
  // words in `*recordOut` when given), or -1 when no block could be had.
  int32_t newNode(int32_t flags, int32_t split, int32_t left, int32_t right,
                  int32_t** recordOut = nullptr);

  // Starts an empty leaf in a new block; returns its reference (< 0) and
  // its slot in `*slot`, or 0 when no block could be had.
  int32_t newLeaf(int32_t** slot);
  int32_t newLeaf() {
    int32_t* slot;
    return newLeaf(&slot);
  }

  // Inserts below inner node `node`.
  bool insertFrom(int32_t node, int32_t x, int32_t y);

  // Inserts into the leaf that `childWord` (a word of the parent node's
  // slot, in block `parentBlock`) refers to; splits a full leaf and
  // replaces the child word by the new inner node.
  bool insertIntoLeaf(int32_t* childWord, int32_t parentBlock, int32_t x, int32_t y);

  // Moves the points of the full leaf `leaf` (block `leafBlock`) whose key
  // is >= the split value into a new leaf; returns the new leaf's reference
  // (0 when no block could be had) and the axis and split value chosen.
  int32_t split(int32_t* leaf, int32_t leafBlock, int32_t* axis, int32_t* splitValue);

  int32_t lastNode_ = -1;
  int32_t innerNodes_ = 0;
  int32_t leaves_ = 0;
  int32_t hits_ = 0;
};

// What a run of the K-D tree test reports, taken before the tree is closed.
struct KdTreeSnapshot {
  uint32_t reads = 0;
  uint32_t writes = 0;
  uint32_t evictions = 0;
  int32_t leaves = 0;
  int32_t hits = 0;
  int32_t blocks = 0;  // the file's length in blocks
};

// The walker's position after a step: below 1 it wraps up by 10240, then at
// 10239 or above down by 10240 (both may apply in turn).
double wrapWalkerPosition(double position);

// The K-D tree test with `operations` operations of which the first
// `inserts` insert random points; the rest walk the plane, inserting or
// looking up. Deletes "akd-tree.bin" before and after. Returns the elapsed
// milliseconds, or FAILED when the file could not be used (a
// diagnostic is on standard error). Fills `*snapshot` when given.
// REQUIRES: 0 <= inserts < operations.
Outcome kdTreeRun(int32_t operations, int32_t inserts, KdTreeSnapshot* snapshot);

// Test 11 (selector 0: 150,000 operations) or test 21 (selector 1:
// 1,500,000 operations).
Outcome kdTreeOnDisk(int selector);

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_KD_TREE_H_
