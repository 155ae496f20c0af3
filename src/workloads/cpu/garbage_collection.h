// Garbage-collection test: a random binary tree of heap nodes, each with a
// heap payload, is grown by random descents that create missing nodes and,
// after every descent, loses one whole random subtree, a million times per
// repetition, while the byte count of every subtree is kept up to date.
//
// A tree is owned by its root: freeGcSubtree() releases a node with all its
// descendants and payloads. Walks over the tree are iterative (trees grow
// far deeper than one descent), so no depth can exhaust the stack. Used by
// one thread at a time.
#ifndef BENCH_WORKLOADS_CPU_GARBAGE_COLLECTION_H_
#define BENCH_WORKLOADS_CPU_GARBAGE_COLLECTION_H_

#include <cstdint>

#include "run/outcome.h"

namespace bench {

struct GcNode {
  GcNode* child0;
  GcNode* child1;
  GcNode* parent;    // null for the root
  int32_t* payload;  // null, or a heap block whose first word is its length in bytes
  int32_t size;      // bytes accounted to this node's whole subtree
};

// Weight of a node without children: 32, plus (length + 19) & ~7 when it has
// a payload of positive length.
int32_t gcOwnWeight(const GcNode& node);

// A new childless node under `parent` (not linked into it), with a payload
// of `payloadLength` bytes when positive, and `size` = its own weight.
// Returns null, with nothing allocated, when the heap refuses either block.
GcNode* newGcNode(GcNode* parent, int32_t payloadLength);

// Frees `node`, each of its descendants and their payloads: payload first,
// then the child0 subtree, then the child1 subtree, then the node. Does not
// touch the link in the parent. Null does nothing.
void freeGcSubtree(GcNode* node);

// Recomputes `size` of `node` and of every ancestor up to the root, in that
// order: own weight plus the sizes of the existing children.
void updateGcSizes(GcNode* node);

// Statistics of one repetition.
struct GcStatistics {
  // Total of all increases of the root's size. It exceeds 2^31 in one
  // repetition, so it is kept and reported modulo 2^32.
  uint32_t growth;
  // Largest root size seen at the end of a growth phase, or at the end.
  int32_t peakSize;
};

// One repetition: a fresh generator and root, 1,000,000 operations with a
// progress line every 32,768, then the whole tree is freed. Returns false,
// with every block freed, when the heap refuses a node or payload.
bool gcRepetition(GcStatistics* statistics);

// Test 15: repeats gcRepetition() until 20000 ms have elapsed and prints the
// result line unless in super-brief mode. Returns milliseconds per
// repetition, or NO_MEMORY when the heap refuses a block (a time for
// incomplete work would mean nothing).
Outcome garbageCollectionTest();

// Test seam: the `count`-th heap allocation of this test from now on (1 =
// the next one) fails as if the heap were exhausted. 0 turns it off.
void setGcAllocationFailureForTesting(int64_t count);

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_GARBAGE_COLLECTION_H_
