// The controller: the hidden window that owns every long-lived object of the
// application, runs the start-up sequence and shuts the program down in
// order. Its window (template 102) binds to this class and forwards to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "app/critical_section_wrapper.h"
#include "app/log_viewer.h"
#include "app/log_viewer_window.h"
#include "app/modal_guard.h"
#include "app/settings_window.h"
#include "app/startup_wait.h"
#include "app/timer_resolution.h"
#include "app/window_host.h"
#include "app/worker_pool.h"
#include "base/critical_section.h"
#include "config/general_settings.h"
#include "config/settings_storage.h"
#include "ipc/clock_state_publisher.h"
#include "ipc/helper_supervisor.h"
#include "ipc/ipc_listener.h"
#include "ipc/shared_block.h"
#include "rules/desktop.h"
#include "rules/process_scanner.h"
#include "rules/recent_foreground.h"
#include "startup_task/startup_task.h"
#include "toolkit/prompts.h"
#include "toolkit/system_tray.h"
#include "update/http_transport.h"

// What the controller works through: its own window (created after the
// controller), the platform and the user.
struct ControllerServices {
  WindowHost& window;
  TimerResolution& timerResolution;
  ModalGuard& modalGuard;
  Prompts& prompts;
  StartupEnvironment& startup;
  SettingsArchives archives;
  SharedBlock& sharedBlock;
  std::uint32_t processId;
  // Ends the process with exit code 0 after a fatal start-up failure.
  std::function<void()> endProcess;
  ProcessControl& processes;
  // Where the helper executables lie (ends with a backslash).
  std::u16string programFolder;
  DispatcherWake& dispatcherWake;
  Desktop& desktop;
  // The Windows folder, whose programs rules never match.
  std::u16string windowsFolder;
  // Gives the process a high priority class (timer 1); failures are ignored.
  std::function<void()> raiseProcessPriority;
  NotifyArea& notifyArea;
  // Opens a web address with the shell.
  std::function<void(std::u16string_view address)> openAddress;
  // Raises an unhandled fault for the crash reporter (the crash test).
  std::function<void()> raiseFault;
  // Whether this copy runs from its installation folder (updates install).
  std::function<bool()> isInstalledCopy;
  SettingsWindow& settingsWindow;
  LogViewerWindow& logViewerWindow;
  // "Start With Windows".
  StartupTask& startupTask;
  // The version check at start: how requests reach the network, and where.
  HttpTransportFactory openTransport;
  std::u16string versionFileUrl;
  // Runs the Software Update dialog modally.
  std::function<void()> runUpdateDialog;
  // Asks where "Dump to TXT > Settings" writes; nothing when cancelled.
  std::function<std::optional<std::u16string>()> chooseSettingsExportPath;
  AboutWindow& aboutWindow;
  // Shows the splash and returns when it has ended.
  std::function<void()> runSplash;
};

class CVantreloquinDlg {
 public:
  explicit CVantreloquinDlg(ControllerServices services);
  ~CVantreloquinDlg() noexcept;
  CVantreloquinDlg(const CVantreloquinDlg&) = delete;
  CVantreloquinDlg& operator=(const CVantreloquinDlg&) = delete;

  // Runs when the dialog initialises; holds the modal guard throughout.
  bool RunStartupSequence();
  // Orderly exit: stops the jobs, removes the tray icon, saves changed
  // settings and ends the modal run.
  void ShutdownProgram();
  // Every way the window ends passes here.
  void OnDestroy();
  // The controller's timers: 100 starts the others; 1 every 4 s (process
  // priority, identity in the shared block, timer resolution); 2 every
  // 250 ms (publication, topmost state, then the work of timer 3); 3 posted
  // (the update notice); 4 every 10 s (save changed settings).
  void OnTimer(std::uintptr_t id);
  // The tray icon's callback: icon identifier and mouse message.
  void OnTrayMessage(std::uint32_t iconId, std::uint32_t mouseMessage);
  // A command of the tray menu; false for an identifier it does not know.
  bool OnCommand(std::uint32_t id);

  CLogViewerDlg logViewer;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  CGeneralSettings_ConfigFile settings;
  SettingsStorage storage;
  CSystemTray tray;

  // The decided clock-control state (written by the scanner) and UI flags.
  std::atomic<bool> blockRequested{false};
  std::atomic<bool> forceDownclockRequested{false};
  std::atomic<bool> trayCreated{false};
  std::atomic<bool> updateAvailable{false};

  // The update notice, filled by the version check, shown by the UI thread.
  std::mutex updateNoticeLock;
  std::u16string updateNotice;

  // Clock targets of the deciding rule ("DEFAULT", "+N", "-N" or "N").
  std::mutex clockTargetsLock;
  std::u16string coreClockTarget = u"DEFAULT";
  std::u16string memClockTarget = u"DEFAULT";

  // Logon-task requests: 0 create, 1 remove.
  std::vector<std::uint8_t> taskQueue;

  // Programs recently in the foreground, for the rule editor's picker.
  RecentForegroundHistory recentForeground;

  WorkerPool workers;
  std::atomic<bool> initialised{false};
  // Serialises the publisher, the helper supervisor and the scanner's
  // state change.
  CriticalSection stateLock;

  // Publishes the decision and the clock settings to the helpers.
  void UpdateBlockingMethod() { publisher_.UpdateBlockingMethod(); }

 private:
  // The pause of a start by the logon task and SHIFT safety mode.
  void WaitAtLogonStartAndCheckShift();
  void StartVersionCheck();
  // Warns about a logon task of the other platform's build.
  void CheckOtherPlatformTask();
  void EnterShiftSafetyMode();
  void SaveChangedSettings();
  // The work of timer 3, never nested: prompts run their own message loops.
  void RunPendingUiWork();
  // Shows the update notice the version check left, once.
  void ShowPendingVersionMessage();
  // Creates the tray icon until it is there; then it follows the clock state.
  void KeepTrayIcon();
  // Makes "DEFAULT" a Block or Downclock rule, keeping its clocks; one undo step.
  void QuickDefaultAction(ActionType action);
  void ExitProgramCommand();
  void SettingsCommand();
  // Writes the settings as a readable report where the user chooses.
  void ExportSettings();
  // Runs the action under the modal guard; nothing when another one runs.
  void Guarded(const std::function<void()>& action);
  // Topmost while wanted, keeping the settings window in front.
  void ApplyTopmostState();
  void CrashTestCommand();
  // Shows and logs the failure, then ends the process.
  void FailStartup(std::u16string message);
  // Runs a background job; a job that cannot be started ends the process.
  bool SpawnJob(Job job, std::u16string_view failure, std::u16string_view success);

  WindowHost& window_;
  TimerResolution& timerResolution_;
  ModalGuard& modalGuard_;
  Prompts& prompts_;
  StartupEnvironment& startup_;
  SharedBlock& sharedBlock_;
  const std::uint32_t processId_;
  std::function<void()> raiseProcessPriority_;
  std::function<void(std::u16string_view)> openAddress_;
  std::function<void()> raiseFault_;
  std::function<bool()> isInstalledCopy_;
  SettingsWindow& settingsWindow_;
  LogViewerWindow& logViewerWindow_;
  StartupTask& startupTask_;
  HttpTransportFactory openTransport_;
  std::u16string versionFileUrl_;
  std::function<void()> runUpdateDialog_;
  std::function<std::optional<std::u16string>()> chooseSettingsExportPath_;
  AboutWindow& aboutWindow_;
  std::function<void()> runSplash_;
  bool inPendingUiWork_ = false;
  // Re-entry guards of the tray callback.
  bool inTrayDoubleClick_ = false;
  bool inTrayMessage_ = false;
  // The topmost state last applied to the controller window.
  bool topmostApplied_ = false;
  std::function<void()> endProcess_;
  DispatcherWake& dispatcherWake_;
  IpcListener ipcListener_;
  ClockStatePublisher publisher_;
  HelperSupervisor supervisor_;
  ProcessScanner scanner_;
};

// The process-wide controller (null before it exists and after it is gone).
CVantreloquinDlg* TheController();
