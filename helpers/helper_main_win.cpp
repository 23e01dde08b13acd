#include "helpers/helper_main_win.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>

#include "base/wide_win.h"
#include "helpers/adl_library_win.h"
#include "helpers/clock_keeper.h"
#include "helpers/compute_follower.h"
#include "helpers/d3d_compute_engine_win.h"
#include "helpers/existing_block_win.h"
#include "helpers/helper_host_win.h"
#include "helpers/helper_session.h"
#include "ipc/named_mutex_win.h"

namespace {

// The single argument after the file name; empty when there is not exactly one.
std::u16string TokenFromCommandLine() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) {
    return {};
  }
  std::u16string token = count == 2 ? FromWide(arguments[1]) : std::u16string();
  LocalFree(arguments);
  return token;
}

// The running session and host, for the handlers of a dying process.
std::atomic<HelperSession*> g_session{nullptr};
std::atomic<Win32HelperHost*> g_host{nullptr};
HANDLE g_sessionDone = nullptr;

// A crash of the helper's thread: restore, then end with the fault's code.
// No crash dialog: nobody sits at a background helper, and the application
// starts a new one.
LONG WINAPI RestoreOnCrash(EXCEPTION_POINTERS* fault) {
  if (HelperSession* session = g_session.exchange(nullptr)) {
    session->RestoreNow();
  }
  TerminateProcess(GetCurrentProcess(), fault->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

// The console is closing, or the user logs off or shuts down: the process
// ends when this returns, so wait for the session to stop and restore.
BOOL WINAPI CloseFromConsole(DWORD event) {
  if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT &&
      event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
    return FALSE;
  }
  if (Win32HelperHost* host = g_host.load()) {
    host->RequestClose();
    WaitForSingleObject(g_sessionDone, 4000);
  }
  return TRUE;
}

}  // namespace

int RunHelperProcess(Helper helper) {
  const std::u16string token = TokenFromCommandLine();
  ExistingBlock block;
  if (!block.Bytes()) {
    return 1;
  }
  Win32NamedMutexes mutexes;
  Win32HelperHost host;
  std::unique_ptr<AdlLibrary> library;
  std::unique_ptr<ClockFollower> follower;
  if (helper == Helper::Adl) {
    library = std::make_unique<AdlLibrary>();
    follower = std::make_unique<ClockKeeper>(*library);
  }
  if (helper == Helper::Compute) {
    follower =
        std::make_unique<ComputeFollower>([] { return std::make_unique<D3dComputeEngine>(); });
  }
  HelperSession session(helper, block.Bytes(), mutexes, host, library.get(), follower.get());
  if (!session.Admit(token)) {
    return 1;
  }
  if (!host.CreateHelperWindow(u"Vantreloquin " + std::u16string(HelperName(helper)))) {
    return 1;
  }
  host.SetEndSessionAction([&session] { session.RestoreNow(); });
  g_sessionDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // Only clock settings outlive the process; a compute load ends with it, and
  // its follower must not wait for a thread that may be the one that crashed.
  if (helper == Helper::Adl) {
    g_session = &session;
  }
  g_host = &host;
  SetUnhandledExceptionFilter(RestoreOnCrash);
  SetConsoleCtrlHandler(CloseFromConsole, TRUE);

  const int code = session.Run();

  g_session = nullptr;
  g_host = nullptr;
  SetEvent(g_sessionDone);
  return code;
}
