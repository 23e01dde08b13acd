#include <gtest/gtest.h>

#include <thread>

#include "base/wide_win.h"
#include "ipc/named_mutex_win.h"
#include "ipc/shared_segment_win.h"

namespace {

const std::u16string kTestSegment = u"vt_test_segment_ipc";

// Ends a thread while it owns the named mutex, which abandons it.
void AbandonMutex(const std::u16string& name) {
  std::thread([&name] {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, AsWide(name));
    WaitForSingleObject(mutex, INFINITE);
    // Ends without releasing; the handle stays open so the mutex lives on.
  }).join();
}

}  // namespace

TEST(NamedMutexWinTest, AbandonedMutexCountsAsNotAcquiredAndIsFreedForTheNextWait) {
  const std::u16string name = u"vt_test_abandoned_mutex";
  AbandonMutex(name);
  Win32NamedMutexes mutexes;
  {
    NamedMutexLock first(mutexes, name, 1000);
    EXPECT_FALSE(first.Acquired());
  }
  // Another thread (as another process would) gets it at once.
  bool acquiredElsewhere = false;
  std::thread([&] {
    NamedMutexLock other(mutexes, name, 1000);
    acquiredElsewhere = other.Acquired();
  }).join();
  EXPECT_TRUE(acquiredElsewhere);
}

TEST(NamedMutexWinTest, HeldMutexTimesOutAndIsFreeAfterRelease) {
  const std::u16string name = u"vt_test_held_mutex";
  Win32NamedMutexes mutexes;
  auto holder = std::make_unique<NamedMutexLock>(mutexes, name, 1000);
  ASSERT_TRUE(holder->Acquired());
  bool acquired = true;
  std::thread([&] { acquired = NamedMutexLock(mutexes, name, 50).Acquired(); }).join();
  EXPECT_FALSE(acquired);
  holder.reset();
  std::thread([&] { acquired = NamedMutexLock(mutexes, name, 50).Acquired(); }).join();
  EXPECT_TRUE(acquired);
}

TEST(SharedSegmentWinTest, TwoMappingsOfOneNameShareTheirBytes) {
  SharedSegment first(kTestSegment, 4096);
  ASSERT_TRUE(first.IsOpen());
  SharedSegment second(kTestSegment, 4096);
  ASSERT_TRUE(second.IsOpen());
  first.View()[100] = 42;
  EXPECT_EQ(second.View()[100], 42);

  std::uint8_t* view = first.View();
  first.Open(kTestSegment, -1);
  EXPECT_EQ(first.View(), view) << "same name, negative size: kept as it is";
  first.Close();
  EXPECT_FALSE(first.IsOpen());
  first.Close();
}
