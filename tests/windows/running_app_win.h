// The real Vantreloquin.exe as the end-to-end tests start, find and close it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/general_settings.h"
#include "test_support_win.h"

inline constexpr DWORD kStartTimeoutMs = 60000;

// Every top-level window of the process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The visible top-level window of the process with this title and class.
HWND VisibleWindowOf(DWORD processId, const std::wstring& title, const std::wstring& className);
HWND ControllerWindowOf(DWORD processId);
std::wstring AppCommandLine();

// The scanner waits 4 seconds after start, then scans every 350 ms.
inline constexpr DWORD kDecisionTimeoutMs = 20000;

// The clock state the application published in the shared block.
std::uint32_t PublishedState(const std::uint8_t* bytes);

// The command line of a test probe in the output folder.
std::wstring ProbeCommandLine(const wchar_t* exe, const wchar_t* mode);

// Whether a process of that file name runs as a child of the parent.
bool ChildRuns(DWORD parentId, const wchar_t* fileName);

// Stores both archives with the default settings, the splash off, changed
// by edit.
void StoreSettings(const std::function<void(CGeneralSettings_ConfigFile&)>& edit);

class RunningApp {
 public:
  explicit RunningApp(const std::vector<std::wstring>& environment = {});
  // Closes the application the way the system does, so that it is never
  // ended while it starts a helper.
  ~RunningApp();
  ChildProcess& process() { return process_; }
  HWND controller() const { return controller_; }

 private:
  ChildProcess process_;
  HWND controller_ = nullptr;
};
