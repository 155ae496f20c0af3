#include "workloads/parallel/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/threads.h"
#include "support/test_support.h"

namespace bench {
namespace {

// Records what run() sees; blocks in run() until `proceed` is released.
class ProbeThread : public Thread {
 public:
  platform::Semaphore proceed{0};
  platform::Semaphore entered{0};
  std::atomic<int> runs{0};
  std::atomic<bool> sawRunning{false};
  std::atomic<uint32_t> sawId{0};
  std::atomic<void*> sawContext{nullptr};
  std::atomic<int> hooks{0};

 protected:
  void onStart() override { hooks.fetch_add(1); }
  void onExit() override { hooks.fetch_add(10); }
  void run() override {
    sawRunning.store(running());
    sawId.store(threadId());
    sawContext.store(context());
    runs.fetch_add(1);
    entered.release(1);
    proceed.acquire();
  }
};

TEST(Thread, WaitOnANeverStartedWorkerReturnsAtOnce) {
  ProbeThread thread;
  EXPECT_TRUE(thread.wait());
  EXPECT_TRUE(thread.stop());
  EXPECT_FALSE(thread.running());
  EXPECT_EQ(thread.runs.load(), 0);
}

TEST(Thread, StartGateOrdersRunAfterStart) {
  int context = 0;
  ProbeThread thread;
  ASSERT_TRUE(thread.setup(&context, 5));
  ASSERT_TRUE(thread.start());
  thread.entered.acquire();
  // run() began only after start() had published the running state and id.
  EXPECT_TRUE(thread.sawRunning.load());
  EXPECT_NE(thread.sawId.load(), 0u);
  EXPECT_EQ(thread.sawContext.load(), &context);
  thread.proceed.release(1);
  EXPECT_TRUE(thread.wait());
  EXPECT_EQ(thread.hooks.load(), 11);
}

TEST(Thread, StartOnARunningWorkerDoesNothing) {
  ProbeThread thread;
  thread.setup(nullptr, 5);
  ASSERT_TRUE(thread.start());
  thread.entered.acquire();
  EXPECT_TRUE(thread.start());
  thread.proceed.release(1);
  thread.wait();
  EXPECT_EQ(thread.runs.load(), 1);
}

TEST(Thread, FinishedWorkerIsIdleAndCanRunAgain) {
  ProbeThread thread;
  thread.setup(nullptr, 7);
  thread.proceed.release(2);
  ASSERT_TRUE(thread.start());
  thread.wait();
  EXPECT_FALSE(thread.running());
  EXPECT_EQ(thread.threadId(), 0u);
  EXPECT_EQ(thread.timeout(), DEFAULT_THREAD_TIMEOUT);
  // A second wait on the finished worker returns at once.
  EXPECT_TRUE(thread.wait());
  ASSERT_TRUE(thread.start());
  thread.wait();
  EXPECT_EQ(thread.runs.load(), 2);
}

TEST(Thread, StopWaitsForAWorkerThatEndsInTime) {
  ProbeThread thread;
  thread.setup(nullptr, 30);
  ASSERT_TRUE(thread.start());
  thread.entered.acquire();
  thread.proceed.release(1);
  EXPECT_TRUE(thread.stop());
  EXPECT_FALSE(thread.running());
}

TEST(Thread, RefusedThreadLeavesTheWorkerIdle) {
  ProbeThread thread;
  thread.setup(nullptr, 5);
  platform::setThreadStartLimitForTesting(0);
  EXPECT_FALSE(thread.start());
  platform::setThreadStartLimitForTesting(-1);
  EXPECT_FALSE(thread.running());
  EXPECT_TRUE(thread.wait());
  EXPECT_EQ(thread.runs.load(), 0);
}

// Blocks for good: the only way out is the time-out of stop().
class StuckThread : public Thread {
 public:
  ~StuckThread() override { stop(); }

 protected:
  void run() override { never.acquire(); }

 private:
  platform::Semaphore never{0};
};

TEST(ThreadDeathTest, StopTimeOutEndsTheProgramWithStatus11) {
  GTEST_FLAG_SET(death_test_style, testing::THREADED_DEATH_TEST_STYLE);
  EXPECT_EXIT(
      {
        StuckThread thread;
        thread.setup(nullptr, 1);
        thread.start();
        thread.stop();
      },
      ::testing::ExitedWithCode(THREAD_TIMEOUT_EXIT_STATUS), "did not end within 1 s");
}

TEST(ThreadDeathTest, DestroyingAStuckWorkerEndsTheProgramWithStatus11) {
  GTEST_FLAG_SET(death_test_style, testing::THREADED_DEATH_TEST_STYLE);
  EXPECT_EXIT(
      {
        StuckThread thread;
        thread.setup(nullptr, 1);
        thread.start();
      },
      ::testing::ExitedWithCode(THREAD_TIMEOUT_EXIT_STATUS), "did not end");
}

}  // namespace
}  // namespace bench
