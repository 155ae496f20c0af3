#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>

namespace bench::platform {
namespace {

struct Gate {
  Semaphore release{0};
  std::atomic<int> calls{0};
};

void waitForRelease(void* raw) {
  Gate* gate = static_cast<Gate*>(raw);
  gate->calls.fetch_add(1);
  gate->release.acquire();
}

TEST(OsThread, JoinForReportsARunningThreadAndJoinsItOnceEnded) {
  Gate gate;
  OsThread thread;
  ASSERT_TRUE(thread.start(&waitForRelease, &gate));
  EXPECT_TRUE(thread.attached());
  EXPECT_NE(thread.id(), 0u);
  EXPECT_FALSE(thread.joinFor(50));
  EXPECT_TRUE(thread.attached());
  gate.release.release(1);
  EXPECT_TRUE(thread.joinFor(60000));
  EXPECT_FALSE(thread.attached());
  EXPECT_EQ(thread.id(), 0u);
  EXPECT_EQ(gate.calls.load(), 1);
}

TEST(OsThread, JoinWithoutThreadReturnsAtOnce) {
  OsThread thread;
  EXPECT_TRUE(thread.join());
  EXPECT_TRUE(thread.joinFor(0));
}

TEST(OsThread, IdsAreDistinct) {
  Gate gate;
  OsThread first;
  OsThread second;
  ASSERT_TRUE(first.start(&waitForRelease, &gate));
  ASSERT_TRUE(second.start(&waitForRelease, &gate));
  EXPECT_NE(first.id(), second.id());
  gate.release.release(2);
  first.join();
  second.join();
  EXPECT_EQ(gate.calls.load(), 2);
}

TEST(OsThread, StartLimitRefusesLaterThreads) {
  Gate gate;
  setThreadStartLimitForTesting(1);
  OsThread first;
  OsThread second;
  EXPECT_TRUE(first.start(&waitForRelease, &gate));
  EXPECT_FALSE(second.start(&waitForRelease, &gate));
  EXPECT_FALSE(second.attached());
  setThreadStartLimitForTesting(-1);
  gate.release.release(1);
  first.join();
  EXPECT_EQ(gate.calls.load(), 1);
}

}  // namespace
}  // namespace bench::platform
