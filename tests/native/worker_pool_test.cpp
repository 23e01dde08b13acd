#include "app/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A job like the application's loops: it waits on its stop signal.
Job LoopUntilStopped(Event& started, std::atomic<int>& returned) {
  return [&started, &returned](Event& stopSignal) {
    started.Set();
    while (!stopSignal.Wait(350ms)) {
    }
    ++returned;
  };
}

}  // namespace

TEST(WorkerPoolTest, EachConcurrentJobGetsAWorkerAndAnIdleWorkerIsReused) {
  WorkerPool pool;
  ASSERT_TRUE(pool.SetMaxWorkers(4));
  std::vector<std::unique_ptr<Event>> started;
  std::atomic<int> returned{0};
  for (int i = 0; i < 3; ++i) {
    started.push_back(std::make_unique<Event>(Event::ResetMode::Manual, false));
    ASSERT_TRUE(pool.RunJob(LoopUntilStopped(*started.back(), returned)));
  }
  Event shortJobDone(Event::ResetMode::Manual, false);
  ASSERT_TRUE(pool.RunJob([&shortJobDone](Event&) { shortJobDone.Set(); }));
  EXPECT_EQ(pool.WorkerCount(), 4u);
  shortJobDone.Wait();

  // At the limit, a fifth job is taken as soon as the short job's worker
  // has turned idle, and no thread is added for it.
  Event fifthRan(Event::ResetMode::Manual, false);
  bool accepted = false;
  for (int attempt = 0; attempt < 5000 && !accepted; ++attempt) {
    accepted = pool.RunJob([&fifthRan](Event&) { fifthRan.Set(); });
    if (!accepted) {
      std::this_thread::sleep_for(1ms);
    }
  }
  ASSERT_TRUE(accepted);
  fifthRan.Wait();
  EXPECT_EQ(pool.WorkerCount(), 4u);

  for (auto& event : started) {
    event->Wait();
  }
  pool.StopAll();
  EXPECT_EQ(returned.load(), 3);
}

TEST(WorkerPoolTest, LimitReachedWithoutIdleWorkerRefusesTheJob) {
  WorkerPool pool;
  EXPECT_FALSE(pool.RunJob([](Event&) {})) << "the limit starts at 0";
  ASSERT_TRUE(pool.SetMaxWorkers(1));
  Event started(Event::ResetMode::Manual, false);
  std::atomic<int> returned{0};
  ASSERT_TRUE(pool.RunJob(LoopUntilStopped(started, returned)));
  EXPECT_FALSE(pool.RunJob([](Event&) {}));
  pool.StopAll();
  EXPECT_EQ(returned.load(), 1);
}

TEST(WorkerPoolTest, StopAllClosesThePool) {
  WorkerPool pool;
  ASSERT_TRUE(pool.SetMaxWorkers(1000));
  pool.StopAll();
  EXPECT_FALSE(pool.RunJob([](Event&) {}));
  EXPECT_FALSE(pool.SetMaxWorkers(5));
}

TEST(WorkerPoolTest, StopAllSignalsRunningJobsAndLeavesTheirSignalResetForReuse) {
  WorkerPool pool;
  ASSERT_TRUE(pool.SetMaxWorkers(2));
  Event started(Event::ResetMode::Manual, false);
  std::atomic<int> returned{0};
  Event* signal = nullptr;
  ASSERT_TRUE(pool.RunJob([&](Event& stopSignal) {
    signal = &stopSignal;
    started.Set();
    stopSignal.Wait();
    ++returned;
  }));
  started.Wait();
  pool.StopAll();
  EXPECT_EQ(returned.load(), 1);
  EXPECT_FALSE(signal->IsSet());
}

TEST(WorkerPoolTest, DestructionStopsAndJoinsRunningJobs) {
  std::atomic<int> returned{0};
  {
    WorkerPool pool;
    ASSERT_TRUE(pool.SetMaxWorkers(10));
    Event started(Event::ResetMode::Manual, false);
    ASSERT_TRUE(pool.RunJob(LoopUntilStopped(started, returned)));
    started.Wait();
  }
  EXPECT_EQ(returned.load(), 1);
}
