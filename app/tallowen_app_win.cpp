#include "app/tallowen_app_win.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "app/about_window_win.h"
#include "app/controller.h"
#include "app/controller_window_win.h"
#include "app/deployment.h"
#include "app/log_viewer_window_win.h"
#include "app/modal_guard.h"
#include "app/process_access_policy_win.h"
#include "app/product.h"
#include "app/single_instance_win.h"
#include "app/startup_environment_win.h"
#include "app/timer_resolution_win.h"
#include "base/wide_win.h"
#include "config/folders.h"
#include "ipc/helper_supervisor.h"
#include "ipc/named_mutex_win.h"
#include "ipc/process_control_win.h"
#include "ipc/shared_block.h"
#include "ipc/shared_segment_win.h"
#include "resources/resource_ids.h"
#include "rules/desktop_win.h"
#include "settings_ui/settings_window_win.h"
#include "startup_task/startup_task.h"
#include "startup_task/task_files.h"
#include "toolkit/crash_reporter_win.h"
#include "toolkit/dialog_prompts_win.h"
#include "toolkit/file_dialog_win.h"
#include "toolkit/notify_area_win.h"
#include "toolkit/splash_display_win.h"
#include "toolkit/window_host_win.h"
#include "update/update_addresses.h"
#include "update/update_program_dlg_win.h"

namespace {

constexpr std::uint32_t kCrashReporterFlags = 0x13;

// The dispatcher's wake signal lives as long as the process.
DispatcherWake& ProcessDispatcherWake() {
  static DispatcherWake wake;
  return wake;
}

// The folder in its short form, which cmd.exe reads back from a batch file
// whatever the user name's letters; the long form when there is none.
std::u16string ShortFolderPath(const std::u16string& folder) {
  wchar_t shortPath[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(AsWide(folder), shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH ? FromWide(shortPath) : folder;
}

// Where the version check asks: the deployment's update server, or the
// server named by VANTRELOQUIN_UPDATE_SERVER (the tests' own).
std::u16string UpdateServerOverride() {
  wchar_t base[512] = {};
  const DWORD length = GetEnvironmentVariableW(L"VANTRELOQUIN_UPDATE_SERVER", base, 512);
  return length > 0 && length < 512 ? FromWide(base) : std::u16string();
}

void InstallProcessCrashReporter() {
  CrashReporterConfig config;
  config.appName = std::u16string(kAppName);
  config.version = std::u16string(kProductVersion);
  config.flags = kCrashReporterFlags;
  config.supportEmail = std::u16string(kSupportEmail);
  config.supportServerHost = std::u16string(kSupportServerHost);
  config.supportServerPort = kSupportServerPort;
  config.supportPage = std::u16string(kSupportPage);
  config.reportFolder = DataFolder();
  InstallCrashReporter(config);
}

}  // namespace

void CTallowenApp::Run() {
  InstallProcessCrashReporter();
  ApplyProcessAccessPolicy();
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&controls);

  ControllerWindow window;
  Win32WindowHost windowHost(window);
  WinmmTimerResolution timerResolution;
  DialogPrompts prompts;
  WindowsStartupEnvironment startupEnvironment;
  Win32NamedMutexes mutexes;
  SharedBlock sharedBlock(TheSharedSegment().IsOpen() ? TheSharedSegment().View() : nullptr,
                          mutexes);
  Win32ProcessControl processes;
  Win32Desktop desktop;
  Win32NotifyArea notifyArea(window);
  DiskTaskFiles taskFiles;
  StartupTask startupTask(StartupTaskServices{
      processes, taskFiles, prompts,
      MakeStartupTaskPaths(WindowsFolder(), ShortFolderPath(UserTempFolder()), ProgramFolder()),
      [] {
        wchar_t name[2000];
        DWORD size = 2000;
        return GetUserNameW(name, &size) != FALSE || size < 2;
      },
      [](std::string_view bytes) { return AnsiToUtf16(bytes); }});
  Win32AboutWindow aboutWindow(window);
  Win32LogViewerWindow logViewerWindow(
      window, []() -> LogBook& { return TheController()->logViewer.book(); }, prompts);
  Win32SettingsWindow settingsWindow(window, [&desktop, &sharedBlock, &window, &startupTask] {
    CVantreloquinDlg& controller = *TheController();
    return SettingsPageSources{
        controller.settings,
        controller.settingsLock,
        TheModalGuard(),
        desktop,
        WindowsFolder(),
        [&controller] { return controller.recentForeground.SnapshotRecentForeground(); },
        sharedBlock,
        [&controller] { controller.UpdateBlockingMethod(); },
        controller.taskQueue,
        [&startupTask](bool refresh) { return startupTask.IsTaskScheduled(refresh); },
        [&window] { PostMessageW(window.hwnd(), WM_TIMER, 3, 0); }};
  });
  CVantreloquinDlg controller(ControllerServices{
      windowHost,
      timerResolution,
      TheModalGuard(),
      prompts,
      startupEnvironment,
      SettingsArchivesIn(DataFolder()),
      sharedBlock,
      GetCurrentProcessId(),
      [] { ExitProcess(0); },
      processes,
      ProgramFolder(),
      ProcessDispatcherWake(),
      desktop,
      WindowsFolder(),
      [] { SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS); },
      notifyArea,
      [](std::u16string_view address) {
        const std::u16string text(address);
        ShellExecuteW(nullptr, L"open", AsWide(text), nullptr, nullptr, SW_SHOWNORMAL);
      },
      [] { RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr); },
      [] { return IsInstalledUnderProgramFiles(); },
      settingsWindow,
      logViewerWindow,
      startupTask,
      [] { return MakeWinHttpTransport(); },
      VersionFileUrl(UpdateServerOverride()),
      [&window, &prompts] {
        CUpdateProgramDlg dialog(window.hwnd(),
                                 UpdateProgramSources{[] { return MakeWinHttpTransport(); },
                                                      VersionFileUrl(UpdateServerOverride()),
                                                      IsInstalledUnderProgramFiles(), prompts,
                                                      [] { TheController()->ShutdownProgram(); }});
        dialog.Run();
      },
      [] {
        return AskFileName(FileDialogKind::Save, nullptr,
                           L"Settings as Plain-Text (*.txt)\0*.txt\0\0", L"txt",
                           OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER);
      },
      aboutWindow,
      [] { CSplashDisplay(IDB_SPLASH).RunSplash(); }});

  SingleInstanceGuard instance(CurrentInstanceName());
  if (instance.AnotherInstanceRuns()) {
    ExitProcess(0);
  }

  window.Bind(controller);
  if (window.Create(IDD_CONTROLLER, nullptr)) {
    window.RunModal();
  }
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The block and the dispatcher's wake signal exist before anything else
  // runs; a second instance maps the same block and leaves it alone.
  TheSharedSegment();
  ProcessDispatcherWake();
  CTallowenApp app;
  app.Run();
  return 0;
}
