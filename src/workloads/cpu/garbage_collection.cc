#include "workloads/cpu/garbage_collection.h"

#include <cstdio>
#include <new>

#include "core/random_james.h"
#include "run/repetition.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

constexpr int32_t OPERATIONS = 1000000;
constexpr int32_t PROGRESS_STEP = 32768;
constexpr int32_t NODE_WEIGHT = 32;

int64_t allocationsUntilFailure = 0;  // test seam; 0 = never fail

// Every block of the test comes through here, so a refusal can be staged.
void* allocate(size_t bytes) {
  if (allocationsUntilFailure > 0 && --allocationsUntilFailure == 0) return nullptr;
  return ::operator new(bytes, std::nothrow);
}

void releasePayload(GcNode* node) {
  ::operator delete(node->payload);
  node->payload = nullptr;
}

}  // namespace

int32_t gcOwnWeight(const GcNode& node) {
  int32_t weight = NODE_WEIGHT;
  if (node.payload != nullptr && node.payload[0] > 0) weight += (node.payload[0] + 19) & ~7;
  return weight;
}

GcNode* newGcNode(GcNode* parent, int32_t payloadLength) {
  void* place = allocate(sizeof(GcNode));
  if (place == nullptr) return nullptr;
  auto* node = new (place) GcNode{nullptr, nullptr, parent, nullptr, 0};
  if (payloadLength > 0) {
    node->payload = static_cast<int32_t*>(allocate(static_cast<size_t>(payloadLength)));
    if (node->payload == nullptr) {
      ::operator delete(node);
      return nullptr;
    }
    node->payload[0] = payloadLength;
  }
  node->size = gcOwnWeight(*node);
  return node;
}

void freeGcSubtree(GcNode* node) {
  if (node == nullptr) return;
  // Walk down by detaching each child as it is entered and back up by the
  // parent links: the order is the recursive one, without the recursion.
  GcNode* const top = node;
  releasePayload(node);
  for (;;) {
    if (GcNode* child = node->child0) {
      node->child0 = nullptr;
      node = child;
      releasePayload(node);
    } else if (GcNode* other = node->child1) {
      node->child1 = nullptr;
      node = other;
      releasePayload(node);
    } else {
      GcNode* const up = node->parent;
      const bool done = node == top;
      ::operator delete(node);
      if (done) return;
      node = up;
    }
  }
}

void updateGcSizes(GcNode* node) {
  for (; node != nullptr; node = node->parent) {
    int32_t size = gcOwnWeight(*node);
    if (node->child0 != nullptr) size += node->child0->size;
    if (node->child1 != nullptr) size += node->child1->size;
    node->size = size;
  }
}

bool gcRepetition(GcStatistics* statistics) {
  RandomJames random;
  GcNode* root = newGcNode(nullptr, 0);
  if (root == nullptr) return false;
  uint32_t growth = static_cast<uint32_t>(root->size);
  int32_t peakSize = root->size;
  bool growing = false;
  for (int32_t op = 1; op <= OPERATIONS; ++op) {
    const int32_t depth = static_cast<int32_t>(random.next() * 72.0);
    bool changed = false;
    GcNode* node = root;
    for (int32_t level = 0; level < depth; ++level) {
      GcNode** side = random.next() < 0.5 ? &node->child0 : &node->child1;
      if (*side == nullptr) {
        const auto payloadLength = static_cast<int32_t>(random.next() * 144.0 + 12.0);
        *side = newGcNode(node, payloadLength);
        if (*side == nullptr) {
          freeGcSubtree(root);
          return false;
        }
        changed = true;
      }
      node = *side;
    }
    GcNode** victim = random.next() < 0.5 ? &node->child0 : &node->child1;
    if (*victim != nullptr) {
      freeGcSubtree(*victim);
      *victim = nullptr;
      changed = true;
    }
    if (changed) {
      const int32_t oldSize = root->size;
      updateGcSizes(node);
      if (root->size > oldSize) {
        growth += static_cast<uint32_t>(root->size - oldSize);
        growing = true;
      } else {
        if (growing && oldSize > peakSize) peakSize = oldSize;
        growing = false;
      }
    }
    if (op % PROGRESS_STEP == 0) printProgress(op * 100.0 / 1000000.0);
  }
  if (root->size > peakSize) peakSize = root->size;
  freeGcSubtree(root);
  statistics->growth = growth;
  statistics->peakSize = peakSize;
  return true;
}

Outcome garbageCollectionTest() {
  GcStatistics statistics{0, 0};
  Repetitions repetitions =
      repeatForMeasuringTime([&statistics]() -> bool { return gcRepetition(&statistics); });
  if (!repetitions.completed) return Outcome::noMemory();
  const int32_t result = repetitions.average;
  if (!runSettings.superBriefMode) {
    printResult("Garbage collection test in 16MB of VM (%u MB, max %d KB), time: %.2f sec\n",
                (statistics.growth + 524288u) >> 20, (statistics.peakSize + 512) >> 10,
                result * 0.001);
  }
  return Outcome::time(result, repetitions.spread);
}

void setGcAllocationFailureForTesting(int64_t count) { allocationsUntilFailure = count; }

}  // namespace bench
