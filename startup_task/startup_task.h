// "Start With Windows": a Task Scheduler task that runs the launcher at every
// logon with the highest run level. Every operation writes a small batch file
// that calls schtasks.exe, runs it through cmd.exe without a window and waits
// for it; a query reads the redirected console output back from a file.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "base/critical_section.h"
#include "ipc/process_control.h"
#include "startup_task/task_files.h"
#include "toolkit/prompts.h"

// One task per platform build; this build owns the x64 name.
inline constexpr std::u16string_view kThisPlatformTaskName =
    u"VANTRELOQUIN_x64_1fae4d5451d54aagderhcvnc9a808de0";
inline constexpr std::u16string_view kOtherPlatformTaskName =
    u"VANTRELOQUIN_x86_1fae4d5451d54aagderhcvnc9a808de0";

inline constexpr std::u16string_view kLauncherFileName = u"Loader_x64.exe";

// Where the task's programs and files lie, derived from the Windows folder,
// the user's temporary folder and the program folder ("/" becomes "\", one
// "\" ends each); a derived path is empty when a folder it needs is missing.
// The batch files and the query output live in the user's own temporary
// folder: in a folder other accounts can write, a batch file could be
// swapped between its writing and its run, and a query answered falsely.
struct StartupTaskPaths {
  std::u16string schtasks;     // Windows folder + "System32\schtasks.exe"
  std::u16string cmd;          // Windows folder + "System32\cmd.exe"
  std::u16string batchFolder;  // user temp folder + "Vantreloquin\"
  std::u16string queryOutput;  // batch folder + "task.dump"
  std::u16string launcher;     // program folder + "Loader_x64.exe"
};

StartupTaskPaths MakeStartupTaskPaths(std::u16string_view windowsFolder,
                                      std::u16string_view userTempFolder,
                                      std::u16string_view programFolder);

// Batch file names and texts. Values put into a text have each "%" doubled
// so that cmd.exe reads them back unchanged.
std::u16string QueryBatchFileName(std::u16string_view taskName);
std::u16string CreateBatchFileName(std::u16string_view taskName);
std::u16string DeleteBatchFileName(std::u16string_view taskName);
std::u16string QueryBatchText(const StartupTaskPaths& paths, std::u16string_view taskName);
std::u16string CreateBatchText(const StartupTaskPaths& paths, std::u16string_view taskName);
std::u16string DeleteBatchText(const StartupTaskPaths& paths, std::u16string_view taskName);

// The query output as text: UTF-16LE after the bytes FF FE, otherwise the
// bytes in the system's ANSI code page (decodeAnsi; Latin-1 when not given).
std::u16string DecodeQueryOutput(std::string_view bytes,
                                 const std::function<std::u16string(std::string_view)>& decodeAnsi);

// What the task works through.
struct StartupTaskServices {
  ProcessControl& processes;
  TaskFiles& files;
  Prompts& prompts;
  StartupTaskPaths paths;
  // False when the account's user name cannot be read (on Windows:
  // GetUserNameW into 2000 characters fails and asks for 2 or more).
  std::function<bool()> userNameReadable;
  // Bytes in the system's ANSI code page to UTF-16.
  std::function<std::u16string(std::string_view)> decodeAnsi;
};

// Runs on the user-interface thread; the locks only serialise the file work
// should another thread ever call.
class StartupTask {
 public:
  explicit StartupTask(StartupTaskServices services) : s_(std::move(services)) {}

  // Whether the Task Scheduler knows a task of that name.
  bool TaskExists(std::u16string_view taskName);
  // Asks for the task's deletion; true when it is gone afterwards.
  bool DeleteTask(std::u16string_view taskName);
  // This platform's task exists and the other platform's does not. The
  // cached state, measured on the first call and when refresh is set.
  bool IsTaskScheduled(bool refresh);
  // Replaces both platforms' entries by a fresh task for this platform;
  // true when it is registered afterwards.
  bool ScheduleTask();
  // Deletes this platform's task; true when not registered afterwards.
  bool UnscheduleTask();

 private:
  // Writes the batch file into the batch folder and, when it was written,
  // runs it and waits for it.
  void RunBatch(std::u16string_view fileName, std::u16string_view text);
  bool MeasureRegistered();

  StartupTaskServices s_;
  CriticalSection existsLock_;
  CriticalSection queryLock_;
  CriticalSection createLock_;
  CriticalSection deleteLock_;
  std::atomic<bool> registered_{false};
  std::atomic<bool> stale_{true};
};
