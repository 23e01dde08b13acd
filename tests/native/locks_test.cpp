#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "app/modal_guard.h"

using namespace std::chrono_literals;

namespace {

// Gives a thread that should be blocked a fair chance to run past its lock;
// a fault shows as a wrong order, never as a slow test.
void LetOthersRun() {
  std::this_thread::sleep_for(50ms);
}

}  // namespace

TEST(SettingsLockTest, WriterWaitsForReadersAndBlocksLaterReaders) {
  CriticalSection_Wrapper lock(CriticalSection_Wrapper::Form::ReaderWriter);
  std::vector<int> order;
  std::mutex orderLock;
  auto record = [&](int step) {
    std::lock_guard<std::mutex> guard(orderLock);
    order.push_back(step);
  };

  lock.ReadLock();  // reader 1 (this thread)
  Event secondReaderIn(Event::ResetMode::Manual, false);
  Event releaseSecondReader(Event::ResetMode::Manual, false);
  std::thread reader2([&] {
    lock.ReadLock();
    secondReaderIn.Set();
    releaseSecondReader.Wait();
    record(2);
    lock.ReadUnlock();
  });
  secondReaderIn.Wait();

  std::atomic<bool> writerIn{false};
  std::thread writer([&] {
    lock.WriteLock();
    writerIn = true;
    record(3);
    LetOthersRun();
    lock.WriteUnlock();
  });
  LetOthersRun();
  std::atomic<bool> lateReaderIn{false};
  std::thread lateReader([&] {
    lock.ReadLock();
    lateReaderIn = true;
    record(4);
    lock.ReadUnlock();
  });
  LetOthersRun();
  EXPECT_FALSE(writerIn.load()) << "the writer must wait for both readers";
  EXPECT_FALSE(lateReaderIn.load()) << "a reader arriving after the writer waits behind it";

  record(1);
  lock.ReadUnlock();
  LetOthersRun();
  EXPECT_FALSE(writerIn.load()) << "one reader is still in";

  releaseSecondReader.Set();
  reader2.join();
  writer.join();
  lateReader.join();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
}

TEST(SettingsLockTest, WriterMayTakeTheReadSideAndTheWriteSideAgain) {
  CriticalSection_Wrapper lock(CriticalSection_Wrapper::Form::ReaderWriter);
  lock.WriteLock();
  lock.ReadLock();
  lock.ReadUnlock();
  lock.WriteLock();
  lock.WriteUnlock();
  lock.WriteUnlock();
  // Free again for another thread.
  std::thread([&] {
    lock.ReadLock();
    lock.ReadUnlock();
    lock.WriteLock();
    lock.WriteUnlock();
  }).join();
}

TEST(SettingsLockTest, DestroyingAHeldLockIsARuntimeError) {
  struct Case {
    CriticalSection_Wrapper::Form form;
    const char* message;
  };
  const Case cases[] = {
      {CriticalSection_Wrapper::Form::ReaderWriter,
       "CriticalSection_Wrapper::~CriticalSection_Wrapper : Write Lockcount != initialized "
       "LockCount"},
      {CriticalSection_Wrapper::Form::Plain,
       "CriticalSection_Wrapper::~CriticalSection_Wrapper : Lockcount != initialized LockCount"},
  };
  for (const Case& c : cases) {
    auto* lock = new CriticalSection_Wrapper(c.form);
    lock->Lock();
    try {
      delete lock;
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(ModalGuardTest, OneHolderAtATimeAndWindowsFollowTheGuard) {
  ModalGuard guard;
  std::vector<bool> enabledCalls;
  guard.SetWindowEnabler([&](bool enabled) { enabledCalls.push_back(enabled); });

  ASSERT_TRUE(guard.TryAcquire());
  EXPECT_FALSE(guard.TryAcquire());
  EXPECT_EQ(enabledCalls, (std::vector<bool>{false})) << "a refused acquire has no effect";
  guard.Release();
  EXPECT_EQ(enabledCalls, (std::vector<bool>{false, true}));

  guard.SetBusy(true);
  EXPECT_FALSE(guard.TryAcquire()) << "the start-up holds the flag directly";
  guard.SetBusy(false);
  EXPECT_TRUE(guard.TryAcquire());
}
