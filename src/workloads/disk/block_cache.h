// CBlockCache: random access to a file of fixed 4096-byte blocks through a
// fixed set of in-memory slots, with exact least-recently-used replacement
// and write-back of modified blocks. The storage layer of the adaptive K-D
// tree; its counters of block reads, writes and evictions are part of that
// test's printed result, so every step that moves them is deliberate.
//
// The cache owns its stream, its slot area (committed virtual memory) and
// its per-slot tables until close(). Used by one thread at a time.
#ifndef BENCH_WORKLOADS_DISK_BLOCK_CACHE_H_
#define BENCH_WORKLOADS_DISK_BLOCK_CACHE_H_

#include <cstdint>
#include <cstdio>
#include <memory>

namespace bench {

class CBlockCache {
 public:
  static constexpr int32_t BLOCK_SIZE = 4096;
  static constexpr int32_t BLOCK_WORDS = BLOCK_SIZE / 4;
  static constexpr int32_t MIN_SLOTS = 16;

  // Opens `name` for update, keeping an existing file's contents, or creates
  // it empty; at most 511 characters of the name are kept. `slotCount` below
  // MIN_SLOTS is raised to MIN_SLOTS. When the file cannot be opened or the
  // slots cannot be had, the cache holds no slots, failed() is true and
  // every getBlock/newBlock returns null.
  CBlockCache(const char* name, int32_t slotCount);
  virtual ~CBlockCache();
  CBlockCache(const CBlockCache&) = delete;
  CBlockCache& operator=(const CBlockCache&) = delete;

  // The slot holding `block` (1024 native int32 words), loading the block
  // into the least recently used slot if it is not cached; null when the
  // block does not exist (block >= blockCount()) or no slot can be had.
  // The pointer stays valid until that slot is taken again: a block just
  // used survives at least the next slotCount - 1 loads or new blocks.
  // REQUIRES: block >= 0.
  int32_t* getBlock(int32_t block);

  // Appends a zero block to the file (written at once, so the file grows by
  // 4096 bytes immediately) and returns its slot, clean; its number goes to
  // `*block`. Null when no slot can be had.
  int32_t* newBlock(int32_t* block);

  // Marks the cached `block` modified and counts it as a use; nothing when
  // the block is not cached.
  void markDirty(int32_t block);

  // Writes slot `slot` to the file if it holds a modified block.
  // REQUIRES: 0 <= slot < slot count.
  void writeBack(int32_t slot);

  // writeBack of every slot in index order.
  void flushAll();

  // Writes back every modified block, closes the file and releases the
  // slots and tables. Harmless when repeated; also run by the destructor.
  void close();

  // True when `word`, a pointer into a slot obtained from getBlock or
  // newBlock, still points into the slot holding `block`. Lets holders of
  // slot pointers check the LRU guarantee they rely on.
  bool holdsBlock(const int32_t* word, int32_t block) const;

  int32_t blockCount() const { return blockCount_; }
  uint32_t reads() const { return reads_; }
  uint32_t writes() const { return writes_; }
  uint32_t evictions() const { return evictions_; }

  // True once the file could not be opened, the slots could not be had, a
  // block transfer failed or no slot could be taken. Only the first failure
  // is remembered; the cache goes on serving its slots from memory.
  bool failed() const { return failed_; }

  // Prints the first failure on standard error, naming the file and the
  // operating system's reason. Nothing when nothing failed.
  void reportFailure() const;

  // Test seam: a pinned slot is never chosen as a victim. Nothing in the
  // program pins slots. Nothing when `block` is not cached.
  void setPinnedForTesting(int32_t block, bool pinned);

 private:
  // Index of the slot holding `block`, or -1.
  int32_t findSlot(int32_t block) const {
    const int32_t* held = slotBlock_.get();
    for (int32_t i = 0; i < slotCount_; ++i) {
      if (held[i] == block) return i;
    }
    return -1;
  }

  int32_t* slotData(int32_t slot) const {
    return reinterpret_cast<int32_t*>(slots_ + static_cast<size_t>(slot) * BLOCK_SIZE);
  }

  // A free slot, or the unpinned slot used least recently, emptied (written
  // back first if modified; evictions counts every victim). -1 when every
  // slot is pinned.
  int32_t takeSlot();

  // Reads `block` into a taken slot; returns the slot index or -1.
  int32_t load(int32_t block);

  // Positions the stream at `block`; false (failure recorded) on error.
  bool seekBlock(int32_t block, const char* operation);

  // Records the first failure: `operation` on `block` (-1: the whole file)
  // failed for the operating system's reason `osError`, or for `reason`
  // when given.
  void fail(const char* operation, int32_t block, int osError, const char* reason = nullptr);

  char name_[512];
  std::FILE* stream_ = nullptr;
  uint8_t* slots_ = nullptr;
  int32_t slotCount_ = 0;
  std::unique_ptr<int32_t[]> slotBlock_;  // block held by each slot; -1 = free
  std::unique_ptr<uint8_t[]> slotDirty_;
  std::unique_ptr<uint32_t[]> slotStamp_;
  uint32_t clock_ = 0;
  std::unique_ptr<int32_t[]> slotPin_;
  int32_t blockCount_ = 0;
  uint32_t reads_ = 0;
  uint32_t writes_ = 0;
  uint32_t evictions_ = 0;

  bool failed_ = false;
  const char* failedOperation_ = nullptr;
  int32_t failedBlock_ = -1;
  int failedErrno_ = 0;
  const char* failedReason_ = nullptr;
};

}  // namespace bench

#endif  // BENCH_WORKLOADS_DISK_BLOCK_CACHE_H_
