#include "workloads/disk/block_cache.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "support/test_support.h"

namespace bench {
namespace {

constexpr int32_t WORDS = CBlockCache::BLOCK_WORDS;
const char* const FILE_NAME = "cache.bin";

// The value a test file holds in word `word` of block `block`.
int32_t pattern(int32_t block, int32_t word) { return block * 10000 + word; }

// Writes `blocks` pattern blocks followed by `extraBytes` bytes of 0x7F.
void writePatternFile(int32_t blocks, int32_t extraBytes = 0) {
  std::string contents;
  for (int32_t b = 0; b < blocks; ++b) {
    for (int32_t w = 0; w < WORDS; ++w) {
      int32_t value = pattern(b, w);
      contents.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
  }
  contents.append(static_cast<size_t>(extraBytes), '\x7F');
  testing::writeFile(FILE_NAME, contents);
}

// Word `word` of block `block` as the file holds it now.
int32_t wordOnDisk(int32_t block, int32_t word) {
  std::string contents = testing::readFile(FILE_NAME);
  int32_t value = 0;
  std::memcpy(&value, contents.data() + (static_cast<size_t>(block) * WORDS + word) * 4, 4);
  return value;
}

struct Counters {
  uint32_t reads;
  uint32_t writes;
  uint32_t evictions;
  bool operator==(const Counters&) const = default;
};

Counters countersOf(const CBlockCache& cache) {
  return {cache.reads(), cache.writes(), cache.evictions()};
}

void PrintTo(const Counters& c, std::ostream* os) {
  *os << "{reads " << c.reads << ", writes " << c.writes << ", evictions " << c.evictions << "}";
}

class BlockCacheTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir_;
};

TEST_F(BlockCacheTest, NewFileHasNoBlocksUntilNewBlockAppendsAZeroBlockAtOnce) {
  CBlockCache cache(FILE_NAME, 16);
  ASSERT_FALSE(cache.failed());
  EXPECT_EQ(cache.blockCount(), 0);
  EXPECT_EQ(cache.getBlock(0), nullptr);
  cache.markDirty(0);

  int32_t number = -1;
  int32_t* slot = cache.newBlock(&number);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(number, 0);
  EXPECT_EQ(cache.blockCount(), 1);
  EXPECT_EQ(countersOf(cache), (Counters{0, 1, 0}));
  EXPECT_EQ(std::filesystem::file_size(FILE_NAME), 4096u);
  for (int32_t w = 0; w < WORDS; ++w) ASSERT_EQ(slot[w], 0) << w;

  EXPECT_EQ(cache.getBlock(0), slot);  // a hit: no counter moves
  EXPECT_EQ(cache.getBlock(1), nullptr);
  EXPECT_EQ(countersOf(cache), (Counters{0, 1, 0}));

  // The new block is clean: closing writes nothing more.
  cache.close();
  EXPECT_EQ(cache.writes(), 1u);
}

TEST_F(BlockCacheTest, ExistingFileKeepsItsBlocksAndIgnoresAPartialLastBlock) {
  writePatternFile(2, 10000 - 2 * 4096);
  CBlockCache cache(FILE_NAME, 16);
  EXPECT_EQ(cache.blockCount(), 2);
  EXPECT_EQ(cache.getBlock(2), nullptr);

  const int32_t* slot = cache.getBlock(1);
  ASSERT_NE(slot, nullptr);
  for (int32_t w = 0; w < WORDS; ++w) ASSERT_EQ(slot[w], pattern(1, w)) << w;
  EXPECT_EQ(countersOf(cache), (Counters{1, 0, 0}));

  // New blocks are numbered from the whole blocks: the tail is overwritten.
  int32_t number = -1;
  ASSERT_NE(cache.newBlock(&number), nullptr);
  EXPECT_EQ(number, 2);
  EXPECT_EQ(std::filesystem::file_size(FILE_NAME), 3u * 4096);
  EXPECT_EQ(wordOnDisk(2, 0), 0);
}

// A cache asked for fewer than 16 slots gets 16; the 17th distinct block
// evicts the least recently used one, writing it first only when dirty.
TEST_F(BlockCacheTest, SeventeenthBlockEvictsTheLeastRecentlyUsedSlot) {
  writePatternFile(20);
  CBlockCache cache(FILE_NAME, 4);

  int32_t* first = cache.getBlock(0);
  first[5] = -5;
  cache.markDirty(0);
  std::vector<int32_t*> slots(20, nullptr);
  slots[0] = first;
  for (int32_t b = 1; b < 16; ++b) slots[b] = cache.getBlock(b);
  EXPECT_EQ(countersOf(cache), (Counters{16, 0, 0}));

  // Block 0 is the oldest and dirty: it is written back, then dropped.
  slots[16] = cache.getBlock(16);
  EXPECT_EQ(countersOf(cache), (Counters{17, 1, 1}));
  EXPECT_EQ(slots[16], first);  // the victim's slot is reused
  EXPECT_FALSE(cache.holdsBlock(first, 0));
  EXPECT_TRUE(cache.holdsBlock(first + 5, 16));
  EXPECT_EQ(wordOnDisk(0, 5), -5);
  EXPECT_EQ(wordOnDisk(0, 6), pattern(0, 6));

  // A hit refreshes block 1, so clean block 2 is the next victim: dropped
  // without a write, but counted.
  EXPECT_EQ(cache.getBlock(1), slots[1]);
  EXPECT_EQ(countersOf(cache), (Counters{17, 1, 1}));
  cache.getBlock(17);
  EXPECT_EQ(countersOf(cache), (Counters{18, 1, 2}));
  EXPECT_TRUE(cache.holdsBlock(slots[1], 1));
  EXPECT_FALSE(cache.holdsBlock(slots[2], 2));

  // markDirty counts as a use too: block 3 survives, block 4 goes.
  cache.markDirty(3);
  cache.getBlock(18);
  EXPECT_TRUE(cache.holdsBlock(slots[3], 3));
  EXPECT_FALSE(cache.holdsBlock(slots[4], 4));
  EXPECT_EQ(countersOf(cache), (Counters{19, 1, 3}));
}

TEST_F(BlockCacheTest, MarkDirtyOfAnUncachedBlockChangesNothing) {
  writePatternFile(17);
  CBlockCache cache(FILE_NAME, 16);
  for (int32_t b = 0; b < 16; ++b) cache.getBlock(b);
  cache.markDirty(16);  // exists in the file but is not cached
  EXPECT_EQ(countersOf(cache), (Counters{16, 0, 0}));
  cache.close();  // nothing became dirty
  EXPECT_EQ(countersOf(cache), (Counters{16, 0, 0}));
  EXPECT_EQ(wordOnDisk(16, 0), pattern(16, 0));
}

TEST_F(BlockCacheTest, CloseWritesEveryDirtyBlockOnceAndMayBeRepeated) {
  writePatternFile(3);
  CBlockCache cache(FILE_NAME, 16);
  for (int32_t b = 0; b < 3; ++b) {
    cache.getBlock(b)[0] = -b - 1;
    if (b != 1) cache.markDirty(b);
  }
  cache.close();
  EXPECT_EQ(countersOf(cache), (Counters{3, 2, 0}));
  cache.close();
  EXPECT_EQ(countersOf(cache), (Counters{3, 2, 0}));
  EXPECT_EQ(cache.getBlock(0), nullptr);
  EXPECT_FALSE(cache.failed());
  EXPECT_EQ(wordOnDisk(0, 0), -1);
  EXPECT_EQ(wordOnDisk(1, 0), pattern(1, 0));  // modified but never marked
  EXPECT_EQ(wordOnDisk(2, 0), -3);
}

// The cache against an independent model: an LRU list of cached blocks and
// a shadow copy of every block's contents. Every returned slot must show
// the block's latest contents and the counters must match the model's.
TEST_F(BlockCacheTest, RandomUseMatchesAnLruModelAndKeepsEveryWrite) {
  constexpr int32_t SLOTS = 16;
  writePatternFile(24);
  CBlockCache cache(FILE_NAME, SLOTS);
  std::map<int32_t, std::vector<int32_t>> shadow;
  for (int32_t b = 0; b < 24; ++b) {
    for (int32_t w = 0; w < WORDS; ++w) shadow[b].push_back(pattern(b, w));
  }
  struct Cached {
    int32_t block;
    bool dirty;
  };
  std::list<Cached> lru;  // front: most recently used
  Counters model{0, 0, 0};
  auto use = [&](int32_t block, bool dirty) {
    for (auto it = lru.begin(); it != lru.end(); ++it) {
      if (it->block == block) {
        bool wasDirty = it->dirty;
        lru.erase(it);
        lru.push_front({block, wasDirty || dirty});
        return true;
      }
    }
    return false;
  };
  auto take = [&]() {
    if (static_cast<int32_t>(lru.size()) < SLOTS) return;
    if (lru.back().dirty) ++model.writes;
    ++model.evictions;
    lru.pop_back();
  };

  std::mt19937 random(7);
  int32_t blockCount = 24;
  for (int step = 0; step < 3000; ++step) {
    int choice = static_cast<int>(random() % 100);
    if (choice < 3) {
      int32_t number = -1;
      int32_t* slot = cache.newBlock(&number);
      ASSERT_NE(slot, nullptr);
      ASSERT_EQ(number, blockCount++);
      take();
      lru.push_front({number, false});
      ++model.writes;
      shadow[number] = std::vector<int32_t>(WORDS, 0);
    } else {
      int32_t block = static_cast<int32_t>(random() % static_cast<uint32_t>(blockCount));
      int32_t* slot = cache.getBlock(block);
      ASSERT_NE(slot, nullptr);
      if (!use(block, false)) {
        take();
        lru.push_front({block, false});
        ++model.reads;
      }
      ASSERT_EQ(std::vector<int32_t>(slot, slot + WORDS), shadow[block]) << "block " << block;
      if (choice < 40) {
        int32_t word = static_cast<int32_t>(random() % WORDS);
        slot[word] = step;
        shadow[block][word] = step;
        cache.markDirty(block);
        use(block, true);
      }
    }
    ASSERT_EQ(countersOf(cache), model) << "step " << step;
  }
  cache.close();
  std::string contents = testing::readFile(FILE_NAME);
  ASSERT_EQ(contents.size(), static_cast<size_t>(blockCount) * 4096);
  for (int32_t b = 0; b < blockCount; ++b) {
    EXPECT_EQ(std::memcmp(contents.data() + static_cast<size_t>(b) * 4096, shadow[b].data(), 4096),
              0)
        << "block " << b;
  }
}

// Failures are remembered and reported with the file and the reason.
class BlockCacheFailureTest : public BlockCacheTest {
 protected:
  std::string reportOf(const CBlockCache& cache) {
    ::testing::internal::CaptureStderr();
    cache.reportFailure();
    return ::testing::internal::GetCapturedStderr();
  }
};

TEST_F(BlockCacheFailureTest, UnopenableFileLeavesAnEmptyUnusableCache) {
  CBlockCache cache("missing-dir/cache.bin", 16);
  EXPECT_TRUE(cache.failed());
  EXPECT_EQ(cache.getBlock(0), nullptr);
  int32_t number = -1;
  EXPECT_EQ(cache.newBlock(&number), nullptr);
  cache.markDirty(0);
  cache.close();
  EXPECT_EQ(reportOf(cache), std::string("missing-dir/cache.bin: cannot create or open: ") +
                                 std::strerror(ENOENT) + "\n");
}

TEST_F(BlockCacheFailureTest, SlotMemoryThatCannotBeCommittedFailsTheCache) {
  platform::setCommitFailureForTesting(16 * 4096);
  CBlockCache cache(FILE_NAME, 16);
  platform::setCommitFailureForTesting(0);
  EXPECT_TRUE(cache.failed());
  int32_t number = -1;
  EXPECT_EQ(cache.newBlock(&number), nullptr);
  EXPECT_EQ(reportOf(cache).rfind("cache.bin: cannot commit memory for the cache slots: ", 0), 0u);
}

TEST_F(BlockCacheFailureTest, FailedWriteIsRememberedWithTheSystemReason) {
  // Every write to /dev/full fails with "no space left".
  CBlockCache cache("/dev/full", 16);
  ASSERT_FALSE(cache.failed());
  int32_t number = -1;
  ASSERT_NE(cache.newBlock(&number), nullptr);  // the slot is still served
  cache.close();
  EXPECT_TRUE(cache.failed());
  std::string report = reportOf(cache);
  EXPECT_EQ(report.rfind("/dev/full: cannot ", 0), 0u) << report;
  EXPECT_NE(report.find(std::strerror(ENOSPC)), std::string::npos) << report;
}

TEST_F(BlockCacheFailureTest, ShortReadYieldsAZeroBlockAndIsReported) {
  writePatternFile(2);
  CBlockCache cache(FILE_NAME, 16);
  std::filesystem::resize_file(FILE_NAME, 4096 + 100);
  const int32_t* slot = cache.getBlock(1);
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(cache.failed());
  EXPECT_EQ(slot[0], pattern(1, 0));
  EXPECT_EQ(slot[WORDS - 1], 0);
  EXPECT_EQ(reportOf(cache), "cache.bin: cannot read block 1: the file ends before it\n");
}

TEST_F(BlockCacheFailureTest, NoSlotIsTakenWhenEverySlotIsPinned) {
  writePatternFile(17);
  CBlockCache cache(FILE_NAME, 16);
  for (int32_t b = 0; b < 16; ++b) {
    cache.getBlock(b);
    cache.setPinnedForTesting(b, true);
  }
  EXPECT_EQ(cache.getBlock(16), nullptr);
  int32_t number = -1;
  EXPECT_EQ(cache.newBlock(&number), nullptr);
  EXPECT_EQ(countersOf(cache), (Counters{16, 0, 0}));
  EXPECT_EQ(cache.blockCount(), 17);
  EXPECT_EQ(reportOf(cache), "cache.bin: cannot take a cache slot: every slot is pinned\n");

  // One unpinned slot is enough again.
  cache.setPinnedForTesting(9, false);
  EXPECT_NE(cache.getBlock(16), nullptr);
  EXPECT_EQ(countersOf(cache), (Counters{17, 0, 1}));
}

}  // namespace
}  // namespace bench
