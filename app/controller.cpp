#include "app/controller.h"

#include "app/deployment.h"
#include "app/log.h"
#include "app/product.h"
#include "base/text.h"
#include "base/wipe.h"
#include "config/file_io.h"
#include "config/folders.h"
#include "config/settings_export.h"
#include "resources/resource_ids.h"
#include "rules/rule.h"
#include "startup_task/task_queue.h"
#include "toolkit/fade_duration.h"
#include "update/version_check.h"

namespace {

std::atomic<CVantreloquinDlg*> theController{nullptr};

constexpr std::uint32_t kMaxWorkers = 1000;
constexpr std::uintptr_t kHousekeepingTimer = 1;
constexpr std::uint32_t kHousekeepingPeriodMs = 4000;
constexpr std::uintptr_t kPublicationTimer = 2;
constexpr std::uint32_t kPublicationPeriodMs = 250;
constexpr std::uintptr_t kPendingUiWorkTimer = 3;
constexpr std::uintptr_t kSaveTimer = 4;
// The tray icon's callback message and identifier (also the tray menu's).
constexpr std::uint32_t kTrayCallbackMessage = 0x800A;
constexpr std::uint32_t kTrayIconId = 129;
constexpr std::uint32_t kSavePeriodMs = 10000;
// Posted by the scanner once it has begun: the controller starts its timers.
constexpr std::uintptr_t kStartTimersTimer = 100;

}  // namespace

CVantreloquinDlg* TheController() {
  return theController.load();
}

CVantreloquinDlg::CVantreloquinDlg(ControllerServices services)
    : storage(settings, settingsLock, std::move(services.archives)),
      tray(services.notifyArea),
      window_(services.window),
      timerResolution_(services.timerResolution),
      modalGuard_(services.modalGuard),
      prompts_(services.prompts),
      startup_(services.startup),
      sharedBlock_(services.sharedBlock),
      processId_(services.processId),
      raiseProcessPriority_(std::move(services.raiseProcessPriority)),
      openAddress_(std::move(services.openAddress)),
      raiseFault_(std::move(services.raiseFault)),
      isInstalledCopy_(std::move(services.isInstalledCopy)),
      settingsWindow_(services.settingsWindow),
      logViewerWindow_(services.logViewerWindow),
      startupTask_(services.startupTask),
      openTransport_(std::move(services.openTransport)),
      versionFileUrl_(std::move(services.versionFileUrl)),
      runUpdateDialog_(std::move(services.runUpdateDialog)),
      chooseSettingsExportPath_(std::move(services.chooseSettingsExportPath)),
      aboutWindow_(services.aboutWindow),
      runSplash_(std::move(services.runSplash)),
      endProcess_(std::move(services.endProcess)),
      dispatcherWake_(services.dispatcherWake),
      ipcListener_(sharedBlock_),
      publisher_(sharedBlock_, PublisherSources{stateLock, blockRequested, forceDownclockRequested,
                                                clockTargetsLock, coreClockTarget, memClockTarget,
                                                settingsLock, settings}),
      supervisor_(sharedBlock_, services.processes, std::move(services.programFolder),
                  dispatcherWake_,
                  SupervisorSources{stateLock, blockRequested, forceDownclockRequested,
                                    [this] { return settings.BlockingMethod.Value(); }}),
      scanner_(services.desktop, std::move(services.windowsFolder),
               ScannerSources{stateLock, blockRequested, forceDownclockRequested, clockTargetsLock,
                              coreClockTarget, memClockTarget, settingsLock, settings,
                              recentForeground, [this] { UpdateBlockingMethod(); },
                              [this] { dispatcherWake_.WakeDispatcher(); },
                              [this] { window_.Post(ui::kTimerMessage, kStartTimersTimer, 0); }}) {
  // Commands whose windows come with later parts of the program.
  SetProcessLog(&logViewer.book());
  modalGuard_.SetWindowEnabler([this](bool enabled) {
    window_.Enable(enabled);
    logViewerWindow_.Enable(enabled);
  });
  theController.store(this);
}

CVantreloquinDlg::~CVantreloquinDlg() noexcept {
  workers.StopAll();
  theController.store(nullptr);
  modalGuard_.SetWindowEnabler(nullptr);
  SetProcessLog(nullptr);
}

bool CVantreloquinDlg::RunStartupSequence() {
  modalGuard_.SetBusy(true);

  EnsureFolderExists(storage.archives().folder);
  storage.LoadSettingsAtStartup();
  WaitAtLogonStartAndCheckShift();
  dispatcherWake_.ResetDispatcherWake();

  window_.SetIcons(IDI_CLOCK_FREE);
  workers.SetMaxWorkers(kMaxWorkers);
  {
    ReadLockGuard lock(settingsLock);
    ApplyFadeSpeed(settings.WindowFadeSpeed.Value());
  }
  bool checkForUpdates = false;
  {
    ReadLockGuard lock(settingsLock);
    checkForUpdates = settings.bCheckForUpdatesOnStartup.Value();
  }
  if (checkForUpdates) {
    if (!SpawnJob([this](Event&) { StartVersionCheck(); }, u"Failed to spawn version-check thread",
                  u"Spawned version-check thread")) {
      return false;
    }
  } else {
    Log(u"Bypassing startup version-check");
  }
  logViewerWindow_.Create();
  aboutWindow_.Create();
  settingsWindow_.Create();
  KeepTrayIcon();
  bool showSplash = false;
  {
    ReadLockGuard lock(settingsLock);
    showSplash = settings.bShowSplash.Value();
  }
  if (showSplash) {
    runSplash_();
  }

  if (!sharedBlock_.INIT_SharedMem(window_.HandleLow32(), processId_)) {
    FailStartup(u"Failed to lock and INIT shared memory");
    return false;
  }
  UpdateBlockingMethod();

  if (!SpawnJob([this](Event& stopSignal) { scanner_.ThreadProcessScanner(stopSignal); },
                u"Failed to spawn process-scanner thread", u"Spawned process-scanner thread")) {
    return false;
  }
  if (!SpawnJob([this](Event& stopSignal) { supervisor_.HelperDispatcher(stopSignal); },
                u"Failed to spawn dispatcher thread", u"Spawned dispatcher thread")) {
    return false;
  }
  if (!SpawnJob([this](Event& stopSignal) { ipcListener_.Run(stopSignal); },
                u"Failed to spawn IPC Listener thread", u"Spawned IPC Listener thread")) {
    return false;
  }

  CheckOtherPlatformTask();
  if (!timerResolution_.Request()) {
    Log(u"Failed to set appropriate timer resolution...");
  }
  window_.SetTitle(std::u16string(kControllerTitlePrefix) + std::u16string(kProductVersion));
  // The housekeeping timer's work runs once at once.
  window_.Post(ui::kTimerMessage, kHousekeepingTimer, 0);

  initialised = true;
  modalGuard_.SetBusy(false);
  return true;
}

void CVantreloquinDlg::WaitAtLogonStartAndCheckShift() {
  StartupWaitSettings wait;
  {
    ReadLockGuard lock(settingsLock);
    wait.processName = settings.WaitFor_ProcessName.Value();
    wait.appearSecondsText = settings.WaitFor_ToAppear_Seconds.Value();
    wait.afterSecondsText = settings.WaitFor_After_Seconds.Value();
  }
  const bool shiftSeen = RunStartupWait(startup_, wait);
  if (shiftSeen || startup_.IsShiftHeld()) {
    EnterShiftSafetyMode();
  }
}

void CVantreloquinDlg::EnterShiftSafetyMode() {
  {
    WriteLockGuard lock(settingsLock);
    settings.bUsingCustomClocks.Set(false);
  }
  Log(u"***SHIFT was depressed***\r\nSafety Mode: Stopping any application of custom clocks.");
  std::u16string note =
      u" **NOTE** \r\n\r\nThe program was started with SHIFT depressed.\r\nThis means that "
      u"custom clock-control was disengaged.\r\n\r\nVerify your settings and then re-enable "
      u"the checkbox when you are ready to do so.";
  prompts_.PromptOk(note);
  Wipe(note);
}

void CVantreloquinDlg::StartVersionCheck() {
  CheckVersionOnStartup(VersionCheckServices{openTransport_, versionFileUrl_, isInstalledCopy_,
                                             updateNoticeLock, updateNotice, updateAvailable});
}

void CVantreloquinDlg::CheckOtherPlatformTask() {
  if (!startupTask_.TaskExists(kOtherPlatformTaskName)) {
    return;
  }
  std::u16string message =
      u"Found scheduler entry for other platform (x86)!\r\n\r\nYou will need to re-check the "
      u"Start with Windows checkbox to set it for this platform's version.\r\nThis will cleanup "
      u"the old scheduler entry and create a new proper one.";
  Log(message);
  prompts_.ShowMessageAndWipe(message);
}

void CVantreloquinDlg::FailStartup(std::u16string message) {
  prompts_.ShowMessage(message);
  Log(message);
  Wipe(message);
  endProcess_();
}

bool CVantreloquinDlg::SpawnJob(Job job, std::u16string_view failure, std::u16string_view success) {
  if (!workers.RunJob(std::move(job))) {
    FailStartup(std::u16string(failure));
    return false;
  }
  Log(success);
  return true;
}

void CVantreloquinDlg::SaveChangedSettings() {
  storage.SaveSettings(false, SettingsStorage::kMainFirst);
}

void CVantreloquinDlg::KeepTrayIcon() {
  if (trayCreated) {
    return;
  }
  const std::u16string tooltip = u"Vantreloquin x64 " + std::u16string(kProductVersion) + u" : " +
                                 Utf8ToUtf16(__DATE__ " " __TIME__);
  if (tray.CreateIcon(kTrayCallbackMessage, tooltip, IDI_CLOCK_FREE, kTrayIconId)) {
    trayCreated = true;
    Log(u"Created TrayIcon");
  }
}

void CVantreloquinDlg::ShutdownProgram() {
  Log(u"Shutting down");
  workers.StopAll();
  tray.DeleteIcon();
  SaveChangedSettings();
  window_.EndModalRun();
}

void CVantreloquinDlg::OnTimer(std::uintptr_t id) {
  switch (id) {
    case kStartTimersTimer:
      Log(u"MAIN:: UI-Thread => Starting timers");
      window_.StartTimer(kHousekeepingTimer, kHousekeepingPeriodMs);
      window_.StartTimer(kPublicationTimer, kPublicationPeriodMs);
      window_.StartTimer(kSaveTimer, kSavePeriodMs);
      // Timers 1 and 2 do their work at once.
      for (std::uintptr_t posted : {std::uintptr_t{0}, kHousekeepingTimer, kPublicationTimer}) {
        window_.Post(ui::kTimerMessage, posted, 0);
      }
      break;
    case kHousekeepingTimer:
      KeepTrayIcon();
      raiseProcessPriority_();
      if (sharedBlock_.IsOpen()) {
        sharedBlock_.RefreshAppIdentity(window_.HandleLow32(), processId_);
      }
      timerResolution_.Request();
      break;
    case kPublicationTimer: {
      tray.ChangeIcon(!blockRequested            ? IDI_CLOCK_FREE
                      : !forceDownclockRequested ? IDI_CLOCK_HELD
                                                 : IDI_CLOCK_FORCED_DOWN);
      UpdateBlockingMethod();
      ApplyTopmostState();
      RunPendingUiWork();
      settingsWindow_.RefreshDetectedGpus();
      break;
    }
    case kPendingUiWorkTimer:
      RunPendingUiWork();
      break;
    case kSaveTimer:
      SaveChangedSettings();
      break;
    default:
      break;
  }
}

void CVantreloquinDlg::ApplyTopmostState() {
  bool topmost = updateAvailable;
  if (!topmost) {
    ReadLockGuard lock(settingsLock);
    topmost = settings.bAlwaysOntop.Value();
  }
  if (topmost == topmostApplied_) {
    return;
  }
  const bool settingsInFront = settingsWindow_.IsForeground();
  topmostApplied_ = topmost;
  window_.SetTopmost(topmost);
  if (settingsInFront) {
    settingsWindow_.BringToFront();
  }
}

void CVantreloquinDlg::RunPendingUiWork() {
  if (inPendingUiWork_) {
    return;
  }
  inPendingUiWork_ = true;
  ShowPendingVersionMessage();
  ServeTaskQueue(taskQueue, modalGuard_, startupTask_,
                 [this] { settingsWindow_.RefreshGeneralTab(); });
  inPendingUiWork_ = false;
}

void CVantreloquinDlg::ShowPendingVersionMessage() {
  if (!updateAvailable) {
    return;
  }
  std::lock_guard lock(updateNoticeLock);
  if (!updateNotice.empty()) {
    prompts_.PromptOk(updateNotice +
                      u"\r\n\r\nIf you do not want these update-checks performed, you can "
                      u"disable them on the General Settings tab.");
    updateNotice.clear();
    if (isInstalledCopy_()) {
      OnCommand(ID_SOFTWARE_UPDATE);
    }
  }
  updateAvailable = false;
}

void CVantreloquinDlg::OnTrayMessage(std::uint32_t iconId, std::uint32_t mouseMessage) {
  constexpr std::uint32_t kLeftDoubleClick = 0x0203;
  constexpr std::uint32_t kRightDoubleClick = 0x0206;
  constexpr std::uint32_t kRightButtonUp = 0x0205;
  if (!initialised) {
    return;
  }
  if (mouseMessage == kLeftDoubleClick || mouseMessage == kRightDoubleClick) {
    if (!inTrayDoubleClick_) {
      inTrayDoubleClick_ = true;
      Log(u"TrayIcon - double-click");
      OnCommand(ID_SETTINGS);
      inTrayDoubleClick_ = false;
    }
    return;
  }
  if (inTrayMessage_) {
    return;
  }
  inTrayMessage_ = true;
  if (mouseMessage == kRightButtonUp) {
    Log(u"TrayIcon - Open menu");
  }
  tray.HandleTrayMessage(iconId, mouseMessage);
  inTrayMessage_ = false;
}

bool CVantreloquinDlg::OnCommand(std::uint32_t id) {
  switch (id) {
    case ID_QUICK_DEFAULT_BLOCK:
      QuickDefaultAction(ActionType::Block);
      return true;
    case ID_QUICK_DEFAULT_DOWNCLOCK:
      QuickDefaultAction(ActionType::Downclock);
      return true;
    case ID_SETTINGS:
      SettingsCommand();
      return true;
    case ID_LOG_VIEWER:
      Guarded([this] {
        Log(u"Started Log Viewer");
        logViewerWindow_.Show();
      });
      return true;
    case ID_DUMP_LOG:
      Guarded([this] { logViewerWindow_.SaveLogAs(); });
      return true;
    case ID_ABOUT:
      Guarded([this] {
        Log(u"Started About dialog");
        aboutWindow_.Show();
      });
      return true;
    case ID_DUMP_SETTINGS:
      Guarded([this] { ExportSettings(); });
      return true;
    case ID_SOFTWARE_UPDATE:
      Guarded([this] {
        Log(u"Started Software Update");
        runUpdateDialog_();
      });
      return true;
    case ID_EXIT_PROGRAM:
      ExitProgramCommand();
      return true;
    case ID_CRASH_TEST:
      CrashTestCommand();
      return true;
    case ID_ONLINE_DOCUMENTATION:
      openAddress_(std::u16string(kDocumentationSite) + u"/Vantreloquin/Doc/index.html");
      return true;
    case ID_FORUMS:
      openAddress_(std::u16string(kDocumentationSite) + u"/Vantreloquin/Doc/hs3.htm");
      return true;
    case ID_MAKER_WEBSITE:
      openAddress_(kMakerWebsite);
      return true;
    case ID_PARTNER_WEBSITE:
      openAddress_(kPartnerWebsite);
      return true;
    default:
      // The windows of the other commands come with later parts.
      return false;
  }
}

void CVantreloquinDlg::QuickDefaultAction(ActionType action) {
  {
    WriteLockGuard lock(settingsLock);
    settings.PushHistory();
    std::u16string core;
    std::u16string mem;
    if (const Rule* current = FindRule(settings.Rules(), kDefaultRuleName)) {
      core = GetCoreClock(*current);
      mem = GetMemClock(*current);
    }
    DeleteRule(settings.Rules(), kDefaultRuleName);
    AddRule(settings.Rules(), kDefaultRuleName, action, true, 0, core, mem);
    settings.EncodeRules();
    settings.DecodeRules();
    settings.DropNoOpStep();
  }
  settingsWindow_.RefreshRuleList(kDefaultRuleName);
  Log(action == ActionType::Block ? u"Tray-Menu: Quick Actions: Default > Block"
                                  : u"Tray-Menu: Quick Actions: Default > Downclock");
}

void CVantreloquinDlg::Guarded(const std::function<void()>& action) {
  if (!modalGuard_.TryAcquire()) {
    return;
  }
  action();
  modalGuard_.Release();
}

void CVantreloquinDlg::SettingsCommand() {
  Guarded([this] {
    Log(u"Started Settings dialog");
    settingsWindow_.Show();
  });
}

void CVantreloquinDlg::ExportSettings() {
  const std::optional<std::u16string> path = chooseSettingsExportPath_();
  if (!path) {
    return;
  }
  std::u16string report;
  {
    ReadLockGuard lock(settingsLock);
    const bool taskScheduled = startupTask_.IsTaskScheduled(false);
    const std::vector<std::u16string> gpus =
        settingsWindow_.CopySelection().value_or(settings.GetSelectedGpus());
    const RuleTableHistory& history = settings.History();
    report = BuildSettingsReport(settings, taskScheduled, gpus,
                                 history.empty() ? nullptr : &history.front());
  }
  if (!ReplaceFileContent(*path, Utf16LeWithMark(report))) {
    prompts_.ShowMessage(u"Failed to open file.");
    return;
  }
  prompts_.ShowMessage(Format(u"Wrote settings as plain-text to \"%s\"", *path));
}

void CVantreloquinDlg::ExitProgramCommand() {
  if (!modalGuard_.TryAcquire()) {
    return;
  }
  Log(u"Exit Program Prompt");
  std::u16string answer = prompts_.PromptTwo(
      u"No", u"Yes",
      u"Are you sure you want to exit the program?\r\nThis will stop vantreloquining.");
  modalGuard_.Release();
  if (EqualsNoCase(answer, u"yes")) {
    ShutdownProgram();
  } else {
    Log(u"Exit Program -- user declined");
  }
}

void CVantreloquinDlg::CrashTestCommand() {
  if (!modalGuard_.TryAcquire()) {
    return;
  }
  Log(u"About to do an intentional crash by writing to NULL pointer.");
  Log(u"Double checking that we're sure this is what we want to do...");
  std::u16string answer = prompts_.PromptTwo(
      u"No", u"Yes",
      u"Are you sure you want to CRASH THE PROGRAM?\r\nThis is an abrupt-halt purely for the "
      u"purpose of testing a crash!\r\n\r\nTo repeat that again, this will \"CRASH THE "
      u"PROGRAM\"!");
  modalGuard_.Release();
  if (EqualsNoCase(answer, u"yes")) {
    raiseFault_();
  } else {
    Log(u"Crash Program -- user declined");
  }
}

void CVantreloquinDlg::OnDestroy() {
  workers.StopAll();
  tray.DeleteIcon();
  SaveChangedSettings();
}
