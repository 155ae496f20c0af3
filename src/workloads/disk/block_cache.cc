#include "workloads/disk/block_cache.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "platform/memory.h"

namespace bench {

CBlockCache::CBlockCache(const char* name, int32_t slotCount) {
  std::snprintf(name_, sizeof name_, "%s", name);
  stream_ = platform::openWorkFile(name_, "r+b");
  if (stream_ == nullptr) stream_ = platform::openWorkFile(name_, "w+b");
  if (stream_ == nullptr) {
    fail("create or open", -1, errno);
    return;
  }
  if (slotCount < MIN_SLOTS) slotCount = MIN_SLOTS;
  size_t area = static_cast<size_t>(slotCount) * BLOCK_SIZE;
  errno = 0;
  slots_ = static_cast<uint8_t*>(platform::commitMemory(area));
  if (slots_ == nullptr) {
    fail("commit memory for the cache slots", -1, errno != 0 ? errno : ENOMEM);
    return;
  }
  slotCount_ = slotCount;
  slotBlock_.reset(new (std::nothrow) int32_t[slotCount]);
  slotDirty_.reset(new (std::nothrow) uint8_t[slotCount]);
  slotStamp_.reset(new (std::nothrow) uint32_t[slotCount]);
  slotPin_.reset(new (std::nothrow) int32_t[slotCount]);
  if (!slotBlock_ || !slotDirty_ || !slotStamp_ || !slotPin_) {
    fail("allocate the cache slot tables", -1, ENOMEM);
    platform::releaseMemory(slots_, area);
    slots_ = nullptr;
    slotCount_ = 0;
    return;
  }
  for (int32_t i = 0; i < slotCount; ++i) slotBlock_[i] = -1;
  clock_ = 0;
  int64_t length = -1;
  if (platform::seekFile(stream_, 0, SEEK_END)) length = platform::tellFile(stream_);
  if (length < 0) {
    fail("find the file length", -1, errno);
    length = 0;
  }
  blockCount_ = static_cast<int32_t>(length / BLOCK_SIZE);
  reads_ = writes_ = evictions_ = 0;
}

CBlockCache::~CBlockCache() { close(); }

int32_t* CBlockCache::getBlock(int32_t block) {
  if (block >= blockCount_) return nullptr;
  int32_t slot = findSlot(block);
  if (slot < 0) {
    slot = load(block);
    if (slot < 0) return nullptr;
    return slotData(slot);
  }
  slotStamp_[slot] = clock_++;
  return slotData(slot);
}

int32_t* CBlockCache::newBlock(int32_t* block) {
  if (slots_ == nullptr) return nullptr;
  int32_t slot = takeSlot();
  if (slot < 0) return nullptr;
  *block = blockCount_++;
  std::memset(slotData(slot), 0, BLOCK_SIZE);
  slotBlock_[slot] = *block;
  slotDirty_[slot] = 1;
  slotStamp_[slot] = clock_++;
  slotPin_[slot] = 0;
  writeBack(slot);
  return slotData(slot);
}

void CBlockCache::markDirty(int32_t block) {
  int32_t slot = findSlot(block);
  if (slot < 0) return;
  slotDirty_[slot] = 1;
  slotStamp_[slot] = clock_++;
}

void CBlockCache::writeBack(int32_t slot) {
  int32_t block = slotBlock_[slot];
  if (block < 0 || slotDirty_[slot] == 0) return;
  if (seekBlock(block, "write block")) {
    if (std::fwrite(slotData(slot), 4, BLOCK_WORDS, stream_) != static_cast<size_t>(BLOCK_WORDS)) {
      fail("write block", block, errno);
    }
  }
  ++writes_;
  slotDirty_[slot] = 0;
}

void CBlockCache::flushAll() {
  for (int32_t i = 0; i < slotCount_; ++i) writeBack(i);
}

void CBlockCache::close() {
  if (stream_ != nullptr) {
    flushAll();
    // Data still buffered by the stream reaches the file here; a failure to
    // write it is a failed transfer like any other.
    if (std::fclose(stream_) != 0) fail("finish writing", -1, errno);
    stream_ = nullptr;
  }
  platform::releaseMemory(slots_, static_cast<size_t>(slotCount_) * BLOCK_SIZE);
  slots_ = nullptr;
  slotCount_ = 0;
  slotBlock_.reset();
  slotDirty_.reset();
  slotStamp_.reset();
  slotPin_.reset();
}

bool CBlockCache::holdsBlock(const int32_t* word, int32_t block) const {
  if (slots_ == nullptr || word == nullptr) return false;
  uintptr_t offset = reinterpret_cast<uintptr_t>(word) - reinterpret_cast<uintptr_t>(slots_);
  if (offset >= static_cast<uintptr_t>(slotCount_) * BLOCK_SIZE) return false;
  return slotBlock_[offset / BLOCK_SIZE] == block;
}

void CBlockCache::reportFailure() const {
  if (!failed_) return;
  const char* reason = failedReason_ != nullptr ? failedReason_ : std::strerror(failedErrno_);
  if (failedBlock_ >= 0) {
    std::fprintf(stderr, "%s: cannot %s %d: %s\n", name_, failedOperation_, failedBlock_, reason);
  } else {
    std::fprintf(stderr, "%s: cannot %s: %s\n", name_, failedOperation_, reason);
  }
}

void CBlockCache::setPinnedForTesting(int32_t block, bool pinned) {
  int32_t slot = findSlot(block);
  if (slot >= 0) slotPin_[slot] = pinned ? 1 : 0;
}

int32_t CBlockCache::takeSlot() {
  const int32_t* held = slotBlock_.get();
  for (int32_t i = 0; i < slotCount_; ++i) {
    if (held[i] < 0) return i;
  }
  // Every slot is filled: the victim is the unpinned slot with the smallest
  // stamp. Stamps handed out are all below clock_, so the running minimum
  // starts there and any unpinned slot beats it.
  int32_t victim = -1;
  uint32_t oldest = clock_;
  for (int32_t i = 0; i < slotCount_; ++i) {
    if (held[i] < 0) return i;
    if (slotPin_[i] == 0 && slotStamp_[i] < oldest) {
      oldest = slotStamp_[i];
      victim = i;
    }
  }
  if (victim < 0) {
    fail("take a cache slot", -1, 0, "every slot is pinned");
    return -1;
  }
  writeBack(victim);
  slotBlock_[victim] = -1;
  ++evictions_;
  return victim;
}

int32_t CBlockCache::load(int32_t block) {
  if (slots_ == nullptr) return -1;
  int32_t slot = takeSlot();
  if (slot < 0) return -1;
  int32_t* data = slotData(slot);
  size_t got = 0;
  if (seekBlock(block, "read block")) {
    got = std::fread(data, 4, BLOCK_WORDS, stream_);
    if (got != static_cast<size_t>(BLOCK_WORDS)) {
      if (std::ferror(stream_)) {
        fail("read block", block, errno);
      } else {
        fail("read block", block, 0, "the file ends before it");
      }
    }
  }
  // Whatever could not be read is zero, so a failed read yields a defined
  // block rather than the previous occupant's contents.
  if (got < static_cast<size_t>(BLOCK_WORDS)) {
    std::memset(data + got, 0, (BLOCK_WORDS - got) * 4);
  }
  ++reads_;
  slotBlock_[slot] = block;
  slotDirty_[slot] = 0;
  slotStamp_[slot] = clock_++;
  slotPin_[slot] = 0;
  return slot;
}

bool CBlockCache::seekBlock(int32_t block, const char* operation) {
  // Repositioning also flushes what the stream still buffers, so a write
  // that failed late shows up here.
  if (platform::seekFile(stream_, static_cast<int64_t>(block) * BLOCK_SIZE, SEEK_SET)) return true;
  fail(operation, block, errno);
  return false;
}

void CBlockCache::fail(const char* operation, int32_t block, int osError, const char* reason) {
  if (failed_) return;
  failed_ = true;
  failedOperation_ = operation;
  failedBlock_ = block;
  failedErrno_ = osError;
  failedReason_ = reason;
}

}  // namespace bench
