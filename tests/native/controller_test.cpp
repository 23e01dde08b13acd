#include "app/controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "fakes/fake_timer_resolution.h"
#include "fakes/fake_window_host.h"

namespace {

class ControllerTest : public ::testing::Test {
 protected:
  std::vector<std::u16string> LogTexts() {
    controller.logViewer.FlushPendingLog();
    std::vector<std::u16string> texts;
    for (const std::u16string& line : controller.logViewer.book().Committed()) {
      texts.push_back(line.substr(line.find(u" >> ") + 4));
    }
    return texts;
  }

  FakeWindowHost window;
  FakeTimerResolution timerResolution;
  ModalGuard guard;
  CVantreloquinDlg controller{window, timerResolution, guard};
};

}  // namespace

TEST_F(ControllerTest, ConstructionPublishesTheControllerWithItsDefaults) {
  EXPECT_EQ(TheController(), &controller);
  EXPECT_FALSE(controller.initialised);
  EXPECT_FALSE(controller.blockRequested);
  EXPECT_EQ(controller.coreClockTarget, u"DEFAULT");
  EXPECT_EQ(controller.memClockTarget, u"DEFAULT");
  EXPECT_FALSE(controller.workers.RunJob([](Event&) {})) << "the pool starts with limit 0";
}

TEST_F(ControllerTest, StartupSequenceSetsUpTheWindowAndFreesTheGuard) {
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(window.icon, 128);
  EXPECT_EQ(window.title, u"Ostrafelmoria Vantreloquin 1.2-6.5");
  ASSERT_EQ(window.posted.size(), 1u);
  EXPECT_EQ(window.posted[0].message, 0x0113u);
  EXPECT_EQ(window.posted[0].wParam, 1u);
  EXPECT_EQ(timerResolution.requests, 1);
  EXPECT_TRUE(controller.initialised);
  EXPECT_FALSE(guard.IsBusy());
  EXPECT_TRUE(LogTexts().empty());
  EXPECT_TRUE(controller.workers.RunJob([](Event&) {})) << "the pool takes jobs now";
}

TEST_F(ControllerTest, RefusedTimerResolutionIsLoggedAndStartupGoesOn) {
  timerResolution.succeeds = false;
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(LogTexts(),
            std::vector<std::u16string>{u"Failed to set appropriate timer resolution..."});
  EXPECT_TRUE(controller.initialised);
}

TEST_F(ControllerTest, GuardDisablesTheControllerWindowWhileHeld) {
  ASSERT_TRUE(controller.RunStartupSequence());
  ASSERT_TRUE(guard.TryAcquire());
  EXPECT_FALSE(window.enabled);
  guard.Release();
  EXPECT_TRUE(window.enabled);
}

TEST_F(ControllerTest, ShutdownStopsJobsBeforeTheModalRunEnds) {
  ASSERT_TRUE(controller.RunStartupSequence());
  Event started(Event::ResetMode::Manual, false);
  std::atomic<int> runsEndedWhenJobReturned{-1};
  ASSERT_TRUE(controller.workers.RunJob([&](Event& stopSignal) {
    started.Set();
    while (!stopSignal.Wait(std::chrono::milliseconds(350))) {
    }
    runsEndedWhenJobReturned = window.modalRunsEnded;
  }));
  started.Wait();

  controller.ShutdownProgram();
  EXPECT_EQ(runsEndedWhenJobReturned.load(), 0) << "the job returned before the run ended";
  EXPECT_EQ(window.modalRunsEnded, 1);
  EXPECT_EQ(LogTexts(), std::vector<std::u16string>{u"Shutting down"});
  EXPECT_FALSE(controller.workers.RunJob([](Event&) {}));

  controller.OnDestroy();  // the window's end finds nothing more to do
  EXPECT_EQ(window.modalRunsEnded, 1);
}
