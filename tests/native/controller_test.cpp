#include "app/controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/archive_codec.h"
#include "config/folders.h"
#include "fakes/fake_about_window.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_http.h"
#include "fakes/fake_log_viewer_window.h"
#include "fakes/fake_named_mutexes.h"
#include "fakes/fake_notify_area.h"
#include "fakes/fake_process_control.h"
#include "fakes/fake_prompts.h"
#include "fakes/fake_settings_window.h"
#include "fakes/fake_startup_environment.h"
#include "fakes/fake_timer_resolution.h"
#include "fakes/fake_window_host.h"
#include "fakes/log_capture.h"
#include "fakes/memory_task_files.h"
#include "fakes/temp_folder.h"
#include "toolkit/fade_duration.h"

namespace {

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() {
    // The scheduler knows no task: a query's redirected output is empty.
    taskProcesses.onExecute = [this] { taskFiles.files[u"C:\\Temp\\Vantreloquin\\task.dump"]; };
  }

  std::vector<std::u16string> LogTexts() { return LoggedTexts(controller.logViewer.book()); }

  // The texts the start-up sequence logged after the settings load and its
  // integrity check (the dispatcher's own lines left out).
  std::vector<std::u16string> LogTextsAfterSettingsLoad() {
    std::vector<std::u16string> texts = LogTexts();
    std::erase_if(texts, [](const std::u16string& text) {
      return text.starts_with(u"ExecuteProcess [") || text.starts_with(u"ThreadProcessScanner::") ||
             text == u"Signaled terminate helper container...";
    });
    const auto checked = std::find(texts.begin(), texts.end(), u"Config file integrity looks-good");
    return checked == texts.end() ? texts : std::vector<std::u16string>(checked + 1, texts.end());
  }

  TempFolder folder;
  FakeWindowHost window;
  FakeTimerResolution timerResolution;
  ModalGuard guard;
  FakePrompts prompts;
  FakeStartupEnvironment startup;
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize);
  FakeNamedMutexes mutexes;
  SharedBlock sharedBlock{memory.data(), mutexes};
  int processEnded = 0;
  FakeProcessControl processes;
  DispatcherWake dispatcherWake;
  FakeDesktop desktop;
  int priorityRaised = 0;
  FakeNotifyArea notifyArea;
  std::vector<std::u16string> opened;
  int faultsRaised = 0;
  bool installedCopy = false;
  FakeSettingsWindow settingsWindow;
  FakeLogViewerWindow logViewerWindow;
  FakeProcessControl taskProcesses;
  MemoryTaskFiles taskFiles;
  StartupTask startupTask{StartupTaskServices{
      taskProcesses, taskFiles, prompts,
      MakeStartupTaskPaths(u"C:\\Windows\\", u"C:\\Temp\\", u"C:\\Program Files\\V\\"),
      [] { return true; }, nullptr}};
  FakeHttpService http;
  int updateDialogRuns = 0;
  std::optional<std::u16string> exportPath;
  FakeAboutWindow aboutWindow;
  int splashRuns = 0;
  CVantreloquinDlg controller{
      ControllerServices{window,
                         timerResolution,
                         guard,
                         prompts,
                         startup,
                         SettingsArchivesIn(folder.Folder()),
                         sharedBlock,
                         777,
                         [this] { ++processEnded; },
                         processes,
                         u"C:\\Program Files\\Vantreloquin\\",
                         dispatcherWake,
                         desktop,
                         u"C:\\Windows\\",
                         [this] { ++priorityRaised; },
                         notifyArea,
                         [this](std::u16string_view address) { opened.emplace_back(address); },
                         [this] { ++faultsRaised; },
                         [this] { return installedCopy; },
                         settingsWindow,
                         logViewerWindow,
                         startupTask,
                         http.Factory(),
                         u"http://updates.test/Vantreloquin/CurrentVersion.txt",
                         [this] { ++updateDialogRuns; },
                         [this] { return exportPath; },
                         aboutWindow,
                         [this] { ++splashRuns; }}};
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
  EXPECT_EQ(LogTextsAfterSettingsLoad(), (std::vector<std::u16string>{
                                             u"Bypassing startup version-check",
                                             u"Created TrayIcon",
                                             u"INIT_SharedMem():: INIT shared memory",
                                             u"INIT_SharedMem():: Setting up IPC initial params",
                                             u"INIT_SharedMem():: Signaling any resident helpers",
                                             u"INIT_SharedMem():: Unlocked, INIT -- OK",
                                             u"Spawned process-scanner thread",
                                             u"Spawned dispatcher thread",
                                             u"Spawned IPC Listener thread",
                                         }));
  EXPECT_EQ(block::ReadU32(memory.data(), block::kAppProcessId), 777u);
  EXPECT_EQ(block::ReadU32(memory.data(), block::kAppWindow), 0x00010203u);
  EXPECT_EQ(block::ReadU32(memory.data(), block::kClockState + block::clock::kWatchdogSeconds), 10u)
      << "the first publication";
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(processEnded, 0);
  EXPECT_TRUE(controller.workers.RunJob([](Event&) {})) << "the pool takes jobs now";
}

TEST_F(ControllerTest, RefusedTimerResolutionIsLoggedAndStartupGoesOn) {
  timerResolution.succeeds = false;
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Failed to set appropriate timer resolution...");
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
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"Shutting down"), texts.end());
  EXPECT_FALSE(controller.workers.RunJob([](Event&) {}));

  controller.OnDestroy();  // the window's end finds nothing more to do
  EXPECT_EQ(window.modalRunsEnded, 1);
}

TEST_F(ControllerTest, StartupLoadsTheSettingsAndAppliesTheFadeSpeed) {
  CGeneralSettings_ConfigFile stored;
  stored.MarkDirtyAndReset();
  stored.WindowFadeSpeed.Set(1);
  stored.bUsingCustomClocks.Set(true);
  const std::u16string text = stored.BuildText();
  const std::string archive =
      ArchiveEncode(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  for (const char* name : {"Vantreloquin.arc", "Vantreloquin.backup"}) {
    std::ofstream(Utf16ToUtf8(folder.Folder()) + name, std::ios::binary) << archive;
  }
  FadeDuration = 1;
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(FadeDuration, 50000u);
  EXPECT_TRUE(controller.settings.bUsingCustomClocks.Value()) << "no SHIFT, no safety mode";
  EXPECT_EQ(controller.settings.Rules().size(), 3u);
}

TEST_F(ControllerTest, FadeSpeedValues) {
  struct Case {
    std::uint32_t speed;
    std::uint64_t duration;
  };
  for (const Case& c : {Case{0, 200000}, Case{1, 50000}, Case{7, 12345}}) {
    FadeDuration = 12345;
    ApplyFadeSpeed(c.speed);
    EXPECT_EQ(FadeDuration, c.duration) << c.speed;
  }
}

TEST_F(ControllerTest, ShiftAtStartTurnsCustomClocksOffAndSaysSo) {
  controller.settings.bUsingCustomClocks.Set(true);  // as if loaded
  startup.shiftHeldAtSample = 0;
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_FALSE(controller.settings.bUsingCustomClocks.Value());
  EXPECT_TRUE(controller.settings.IsDirty());
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], u"***SHIFT was depressed***");
  EXPECT_EQ(texts[1], u"Safety Mode: Stopping any application of custom clocks.");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0],
            u" **NOTE** \r\n\r\nThe program was started with SHIFT depressed.\r\nThis means that "
            u"custom clock-control was disengaged.\r\n\r\nVerify your settings and then re-enable "
            u"the checkbox when you are ready to do so.");
}

TEST_F(ControllerTest, ShutdownSavesChangedSettingsToBothArchives) {
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.settings.BlockingMethod.Set(2);
  controller.ShutdownProgram();
  EXPECT_FALSE(controller.settings.IsDirty());
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_EQ(texts.back(), u"Wrote config to \"" + folder.Folder() + u"Vantreloquin.backup\"");
  CGeneralSettings_ConfigFile reloaded;
  std::u16string message;
  ASSERT_TRUE(reloaded.Load(folder.Folder() + u"Vantreloquin.arc", message));
  EXPECT_EQ(reloaded.BlockingMethod.Value(), 2u);
}

TEST_F(ControllerTest, SharedBlockThatCannotBeInitialisedEndsTheProgram) {
  mutexes.unavailable.insert(std::u16string(block::kMainMutex));
  EXPECT_FALSE(controller.RunStartupSequence());
  EXPECT_EQ(processEnded, 1);
  EXPECT_EQ(prompts.shown, std::vector<std::u16string>{u"Failed to lock and INIT shared memory"});
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Failed to lock and INIT shared memory");
  EXPECT_FALSE(controller.initialised);
}

TEST_F(ControllerTest, JobThatCannotStartEndsTheProgram) {
  // A pool that takes no job: the limit cannot be raised on a closed pool.
  controller.workers.StopAll();
  EXPECT_FALSE(controller.RunStartupSequence());
  EXPECT_EQ(processEnded, 1);
  EXPECT_EQ(prompts.shown, std::vector<std::u16string>{u"Failed to spawn process-scanner thread"});
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Failed to spawn process-scanner thread");
}

TEST_F(ControllerTest, TimerHundredStartsThePeriodicWork) {
  ASSERT_TRUE(controller.RunStartupSequence());
  window.posted.clear();
  controller.OnTimer(100);
  EXPECT_EQ(window.timers, (std::vector<std::pair<std::uintptr_t, std::uint32_t>>{
                               {1, 4000}, {2, 250}, {4, 10000}}));
  ASSERT_EQ(window.posted.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(window.posted[i].message, 0x0113u);
    EXPECT_EQ(window.posted[i].wParam, i);
  }
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"MAIN:: UI-Thread => Starting timers");
}

TEST_F(ControllerTest, HousekeepingRaisesPriorityAndRefreshesTheIdentity) {
  ASSERT_TRUE(controller.RunStartupSequence());
  block::WriteU32(memory.data(), block::kAppProcessId, 0);
  controller.OnTimer(1);
  EXPECT_EQ(priorityRaised, 1);
  EXPECT_EQ(block::ReadU32(memory.data(), block::kAppProcessId), 777u);
  EXPECT_EQ(timerResolution.requests, 2) << "start-up and timer 1";
}

TEST_F(ControllerTest, PublicationTimerPublishesAndAppliesTopmostOnChange) {
  ASSERT_TRUE(controller.RunStartupSequence());
  {
    CriticalSectionLock state(controller.stateLock);
    controller.blockRequested = true;
  }
  controller.OnTimer(2);
  EXPECT_EQ(block::ReadU32(memory.data(), block::kClockState + block::clock::kState), 0u);
  controller.OnTimer(2);
  EXPECT_EQ(window.topmostCalls, std::vector<bool>{true}) << "bAlwaysOntop, applied once";
  controller.settings.bAlwaysOntop.Set(false);
  controller.OnTimer(2);
  controller.updateAvailable = true;
  controller.OnTimer(2);
  EXPECT_EQ(window.topmostCalls, (std::vector<bool>{true, false, true}));
}

TEST_F(ControllerTest, SaveTimerWritesOnlyChangedSettings) {
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.OnTimer(4);  // the first run's defaults
  const std::size_t written = LogTextsAfterSettingsLoad().size();
  controller.OnTimer(4);
  EXPECT_EQ(LogTextsAfterSettingsLoad().size(), written) << "nothing changed, nothing written";
  controller.settings.BlockingMethod.Set(3);
  controller.OnTimer(4);
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(),
            u"Wrote config to \"" + folder.Folder() + u"Vantreloquin.backup\"");
}

TEST_F(ControllerTest, TrayIconIsCreatedOnceFollowsTheStateAndGoesAtShutdown) {
  notifyArea.addSucceeds = false;
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.OnTimer(1);
  EXPECT_FALSE(controller.trayCreated) << "tried again on the next tick";
  notifyArea.addSucceeds = true;
  controller.OnTimer(1);
  controller.OnTimer(1);
  EXPECT_TRUE(controller.trayCreated);
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"Created TrayIcon"), 1);
  EXPECT_TRUE(notifyArea.calls.back().record.tip.starts_with(u"Vantreloquin x64 1.2-6.5 : "));

  struct Case {
    bool block;
    bool force;
    int icon;
  };
  for (const Case& c : {Case{false, false, 128}, Case{true, false, 129}, Case{true, true, 130}}) {
    controller.blockRequested = c.block;
    controller.forceDownclockRequested = c.force;
    controller.OnTimer(2);
    ASSERT_EQ(notifyArea.calls.back().action, u"modify");
    EXPECT_EQ(notifyArea.calls.back().record.iconResourceId, c.icon);
  }
  controller.ShutdownProgram();
  EXPECT_EQ(notifyArea.calls.back().action, u"delete");
}

TEST_F(ControllerTest, TrayCallbacksWaitForTheStartAndOpenTheMenuOnARightClick) {
  controller.OnTrayMessage(129, 0x0205);
  EXPECT_TRUE(notifyArea.menusShown.empty()) << "ignored before the start has ended";
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.OnTimer(1);  // the icon
  controller.OnTrayMessage(129, 0x0205);
  controller.OnTrayMessage(129, 0x0203);
  controller.OnTrayMessage(7, 0x0205);
  EXPECT_EQ(notifyArea.menusShown, std::vector<std::uint32_t>{129});
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"TrayIcon - Open menu"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"TrayIcon - double-click"), 1);
}

TEST_F(ControllerTest, QuickActionsTurnDefaultIntoBlockOrDownclockKeepingItsClocks) {
  ASSERT_TRUE(controller.RunStartupSequence());
  FindRule(controller.settings.Rules(), u"DEFAULT")->coreClock = u"+50";
  const std::size_t steps = controller.settings.History().size();
  controller.OnCommand(32783);
  const Rule* rule = FindRule(controller.settings.Rules(), u"DEFAULT");
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->action, ActionType::Block);
  EXPECT_EQ(rule->coreClock, u"+50");
  EXPECT_EQ(controller.settings.History().size(), steps + 1);
  controller.OnCommand(32783);
  EXPECT_EQ(controller.settings.History().size(), steps + 1) << "a step that changed nothing";
  EXPECT_TRUE(controller.settings.IsDirty());
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Tray-Menu: Quick Actions: Default > Block");
  EXPECT_EQ(settingsWindow.ruleListRefreshes,
            (std::vector<std::u16string>{u"DEFAULT", u"DEFAULT"}));
  controller.OnCommand(32784);
  EXPECT_EQ(FindRule(controller.settings.Rules(), u"DEFAULT")->action, ActionType::Downclock);
}

TEST_F(ControllerTest, ExitAndCrashTestAskFirst) {
  struct Case {
    std::uint32_t command;
    std::u16string answer;
    std::u16string question;
    std::u16string lastLog;
    int modalRunsEnded;
    int faults;
  };
  const std::u16string exitQuestion =
      u"Are you sure you want to exit the program?\r\nThis will stop vantreloquining.";
  const std::u16string crashQuestion =
      u"Are you sure you want to CRASH THE PROGRAM?\r\nThis is an abrupt-halt purely for the "
      u"purpose of testing a crash!\r\n\r\nTo repeat that again, this will \"CRASH THE "
      u"PROGRAM\"!";
  const Case cases[] = {
      {32771, u"No", exitQuestion, u"Exit Program -- user declined", 0, 0},
      {32771, u"", exitQuestion, u"Exit Program -- user declined", 0, 0},  // closed
      {32793, u"No", crashQuestion, u"Crash Program -- user declined", 0, 0},
      {32793, u"yes", crashQuestion,
       u"Double checking that we're sure this is what we want to do...", 0, 1},
      {32771, u"YES", exitQuestion, u"Shutting down", 1, 1},
  };
  ASSERT_TRUE(controller.RunStartupSequence());
  for (const Case& c : cases) {
    prompts.answer = c.answer;
    controller.OnCommand(c.command);
    EXPECT_EQ(prompts.shown.back(), c.question);
    EXPECT_EQ(prompts.lastCaptions, (std::vector<std::u16string>{u"No", u"Yes"}));
    EXPECT_EQ(window.modalRunsEnded, c.modalRunsEnded) << c.command << " " << c.answer.size();
    EXPECT_EQ(faultsRaised, c.faults);
    EXPECT_FALSE(guard.IsBusy());
    const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
    EXPECT_NE(std::find(texts.begin(), texts.end(), c.lastLog), texts.end()) << c.command;
  }
}

TEST_F(ControllerTest, UpdateNoticeIsShownOnceEvenWhenTimersTickDuringIt) {
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.settings.bAlwaysOntop.Set(false);
  controller.updateNotice = u"Version \"2.0\" is available for download now.";
  controller.updateAvailable = true;
  int nestedTicks = 0;
  prompts.whileOpen = [&] {
    // The prompt's own message loop delivers the timers meanwhile.
    controller.OnTimer(2);
    controller.OnTimer(3);
    ++nestedTicks;
  };
  controller.OnTimer(2);
  EXPECT_EQ(nestedTicks, 1);
  EXPECT_EQ(window.topmostCalls, std::vector<bool>{true}) << "topmost while the notice waits";
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0],
            u"Version \"2.0\" is available for download now.\r\n\r\nIf you do not want these "
            u"update-checks performed, you can disable them on the General Settings tab.");
  EXPECT_FALSE(controller.updateAvailable);
  EXPECT_TRUE(controller.updateNotice.empty());
  controller.OnTimer(3);
  controller.OnTimer(2);
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(window.topmostCalls, (std::vector<bool>{true, false}));
}

TEST_F(ControllerTest, WebLinksOpenTheirAddresses) {
  for (std::uint32_t command : {32779u, 32780u, 32789u, 32790u}) {
    EXPECT_TRUE(controller.OnCommand(command));
  }
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_TRUE(opened[0].ends_with(u"/Vantreloquin/Doc/index.html"));
  EXPECT_TRUE(opened[1].ends_with(u"/Vantreloquin/Doc/hs3.htm"));
  EXPECT_TRUE(opened[2].starts_with(u"http://"));
  EXPECT_FALSE(controller.OnCommand(1)) << "not a command of the menu";
}

TEST_F(ControllerTest, SettingsOpenFromTheMenuOrADoubleClickUnlessAnotherActionRuns) {
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(settingsWindow.created, 1);
  controller.OnCommand(32775);
  controller.OnTrayMessage(129, 0x0203);
  EXPECT_EQ(settingsWindow.shown, 2);
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"Started Settings dialog"), 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), u"TrayIcon - double-click"), 1);

  // While a prompt holds the guard, a second Settings does nothing at all.
  prompts.whileOpen = [&] { controller.OnCommand(32775); };
  controller.OnCommand(32771);
  EXPECT_EQ(settingsWindow.shown, 2);
  EXPECT_FALSE(guard.IsBusy());
}

TEST_F(ControllerTest, TopmostChangesKeepTheSettingsWindowInFrontAndGpusAreFollowed) {
  ASSERT_TRUE(controller.RunStartupSequence());
  settingsWindow.foreground = true;
  controller.OnTimer(2);  // bAlwaysOntop is on by default
  EXPECT_EQ(window.topmostCalls, std::vector<bool>{true});
  EXPECT_EQ(settingsWindow.broughtToFront, 1);
  settingsWindow.foreground = false;
  controller.settings.bAlwaysOntop.Set(false);
  controller.OnTimer(2);
  EXPECT_EQ(window.topmostCalls, (std::vector<bool>{true, false}));
  EXPECT_EQ(settingsWindow.broughtToFront, 1);
  EXPECT_EQ(settingsWindow.gpuRefreshes, 2);
}

TEST_F(ControllerTest, LogViewerOpensAndSavesUnderTheGuardWhichDisablesIt) {
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(logViewerWindow.created, 1);
  controller.OnCommand(32773);
  controller.OnCommand(32787);
  EXPECT_EQ(logViewerWindow.shown, 1);
  EXPECT_EQ(logViewerWindow.saves, 1);
  EXPECT_EQ(logViewerWindow.enables, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Started Log Viewer");
  ASSERT_TRUE(guard.TryAcquire());
  controller.OnCommand(32773);
  EXPECT_EQ(logViewerWindow.shown, 1) << "another action holds the guard";
  guard.Release();
}

TEST_F(ControllerTest, VersionCheckAtStartLeavesTheNoticeForTimerThree) {
  ASSERT_TRUE(EnsureFolderExists(folder.Folder()));
  {
    CGeneralSettings_ConfigFile stored;
    stored.bCheckForUpdatesOnStartup.Set(true);
    for (const char16_t* name : {u"Vantreloquin.arc", u"Vantreloquin.backup"}) {
      stored.SetPath(folder.Folder() + name);
      std::u16string message;
      ASSERT_TRUE(stored.Save(message));
    }
  }
  http.Serve(
      u"/Vantreloquin/CurrentVersion.txt",
      {FakeExchange::Body("version=2.0\r\ndate=2026-12-01\r\ndownload=http://x/setup.exe\r\n")});
  ASSERT_TRUE(controller.RunStartupSequence());
  const std::vector<std::u16string> texts = LogTextsAfterSettingsLoad();
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"Spawned version-check thread"), texts.end());
  for (int i = 0; i < 500 && !controller.updateAvailable; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(controller.updateAvailable);
  installedCopy = true;
  controller.OnTimer(3);
  EXPECT_EQ(updateDialogRuns, 1) << "an installed copy goes on to the update dialog";
  ASSERT_FALSE(prompts.shown.empty());
  EXPECT_TRUE(prompts.shown.back().find(u"Version \"2.0\" is available") != std::u16string::npos);
  EXPECT_FALSE(controller.updateAvailable);
}

TEST_F(ControllerTest, TimerThreeServesLogonTaskRequestsUnlessTheGuardIsBusy) {
  ASSERT_TRUE(controller.RunStartupSequence());
  const std::size_t runsAtStart = taskProcesses.Starts().size();
  controller.taskQueue = {0};
  ASSERT_TRUE(guard.TryAcquire());
  controller.OnTimer(3);
  EXPECT_EQ(controller.taskQueue.size(), 1u) << "left for a later tick";
  guard.Release();
  controller.OnTimer(3);
  EXPECT_TRUE(controller.taskQueue.empty());
  EXPECT_GT(taskProcesses.Starts().size(), runsAtStart) << "the batch files ran";
  // The stand-in scheduler knows no task, so the create fails and the
  // General page shows the real state again.
  EXPECT_EQ(prompts.shown.back(), u"ScheduleTask:: ERROR -- Failed to create scheduler task");
  EXPECT_EQ(settingsWindow.generalRefreshes, 1);
}

TEST_F(ControllerTest, SettingsReportIsWrittenWhereTheUserChose) {
  ASSERT_TRUE(controller.RunStartupSequence());
  controller.OnCommand(32788);  // cancelled
  EXPECT_TRUE(prompts.shown.empty());

  exportPath = folder.Folder() + u"report.txt";
  settingsWindow.selection = std::vector<std::u16string>{u"RADEON RX 480"};
  controller.OnCommand(32788);
  EXPECT_EQ(prompts.shown.back(), u"Wrote settings as plain-text to \"" + *exportPath + u"\"");
  std::ifstream file(Utf16ToUtf8(*exportPath), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data() + 2),
                            (bytes.size() - 2) / 2);
  EXPECT_NE(text.find(u"\r\nRADEON RX 480\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"\"DEFAULT\""), std::u16string::npos);

  exportPath = folder.Folder() + u"missing/report.txt";
  controller.OnCommand(32788);
  EXPECT_EQ(prompts.shown.back(), u"Failed to open file.");
}

TEST_F(ControllerTest, AboutAndSplashFollowTheirCommandAndSetting) {
  ASSERT_TRUE(controller.RunStartupSequence());
  EXPECT_EQ(aboutWindow.created, 1);
  EXPECT_EQ(splashRuns, 1) << "Show Splash is on by default";
  controller.OnCommand(32776);
  EXPECT_EQ(aboutWindow.shown, 1);
  EXPECT_EQ(LogTextsAfterSettingsLoad().back(), u"Started About dialog");
  EXPECT_TRUE(notifyArea.disabledCommands.empty()) << "every command has its window";
}
