#include "base/event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(EventTest, ManualResetStaysSetForEveryWaiter) {
  Event event(Event::ResetMode::Manual, false);
  EXPECT_FALSE(event.Wait(0ms));
  event.Set();
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_TRUE(event.Wait(0ms));
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

TEST(EventTest, AutoResetReleasesOneWait) {
  Event event(Event::ResetMode::Auto, true);
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(EventTest, WaitWakesWhenAnotherThreadSets) {
  Event event(Event::ResetMode::Manual, false);
  std::thread setter([&event] { event.Set(); });
  event.Wait();
  setter.join();
  EXPECT_TRUE(event.IsSet());
}
