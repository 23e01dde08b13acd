#include "rules/desktop_win.h"

#include <windows.h>

#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2  // the K32 entry points of kernel32
#endif
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <utility>

#include "base/wide_win.h"

namespace {

// The record size the snapshot calls expect on 64-bit Windows.
static_assert(sizeof(PROCESSENTRY32W) == 568);
static_assert(sizeof(MONITORINFO) == 40);

constexpr DWORD kQueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
static_assert(kQueryAndRead == 0x410);

HWND ToHandle(WindowId window) {
  return reinterpret_cast<HWND>(window);
}
WindowId ToId(HWND window) {
  return reinterpret_cast<WindowId>(window);
}

// Calls the visitor for every process snapshot record until it returns false.
void ForEachSnapshotRecord(const std::function<bool(const PROCESSENTRY32W&)>& visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && visit(entry);
       more = Process32NextW(snapshot, &entry)) {
  }
  CloseHandle(snapshot);
}

// The file name of a module of the process (nullptr: its executable); empty
// when the call fails.
std::u16string ModuleFileName(HANDLE process, HMODULE module) {
  std::wstring path(Win32Desktop::kPathUnits, L'\0');
  const DWORD length = K32GetModuleFileNameExW(process, module, path.data(),
                                               static_cast<DWORD>(Win32Desktop::kPathUnits));
  return FromWide(std::wstring_view(path.data(), length));
}

class ProcessHandle {
 public:
  explicit ProcessHandle(std::uint32_t processId)
      : handle_(OpenProcess(kQueryAndRead, FALSE, processId)) {}
  ~ProcessHandle() {
    if (handle_) {
      CloseHandle(handle_);
    }
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;

  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Top-level windows the filter keeps, at most kMaxWindows: one more that
// qualifies ends the enumeration.
std::vector<WindowId> CollectTopLevelWindows(const std::function<bool(HWND)>& keep) {
  struct State {
    const std::function<bool(HWND)>& keep;
    std::vector<WindowId> windows;
  } state{keep, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        State& s = *reinterpret_cast<State*>(context);
        if (!s.keep(window)) {
          return TRUE;
        }
        if (s.windows.size() >= Win32Desktop::kMaxWindows) {
          return FALSE;
        }
        // No exception may cross the system's frames.
        try {
          s.windows.push_back(ToId(window));
        } catch (const std::bad_alloc&) {
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&state));
  return std::move(state.windows);
}

}  // namespace

WindowId Win32Desktop::ForegroundWindow() {
  return ToId(GetForegroundWindow());
}

std::uint32_t Win32Desktop::WindowProcessId(WindowId window) {
  DWORD processId = 0;
  if (window == 0 || !GetWindowThreadProcessId(ToHandle(window), &processId)) {
    return 0;
  }
  return processId;
}

std::u16string Win32Desktop::ProcessFileName(std::uint32_t processId) {
  std::u16string name;
  ForEachSnapshotRecord([&](const PROCESSENTRY32W& entry) {
    if (entry.th32ProcessID != processId) {
      return true;
    }
    name = FromWide(entry.szExeFile);
    return false;
  });
  return name;
}

std::u16string Win32Desktop::ProcessFullPath(std::uint32_t processId) {
  const ProcessHandle process(processId);
  return process.get() ? ModuleFileName(process.get(), nullptr) : std::u16string();
}

bool Win32Desktop::IsOwnWindow(WindowId window) {
  if (window == 0) {
    return false;
  }
  for (const WindowId own : ListOwnProcessWindows()) {
    if (own == window) {
      return true;
    }
  }
  return false;
}

bool Win32Desktop::IsWindow(WindowId window) {
  return ::IsWindow(ToHandle(window)) != FALSE;
}

bool Win32Desktop::IsWindowVisible(WindowId window) {
  return ::IsWindowVisible(ToHandle(window)) != FALSE;
}

bool Win32Desktop::IsIconic(WindowId window) {
  return ::IsIconic(ToHandle(window)) != FALSE;
}

std::vector<std::u16string> Win32Desktop::ListProcessFileNames() {
  std::vector<std::u16string> names;
  ForEachSnapshotRecord([&](const PROCESSENTRY32W& entry) {
    names.push_back(FromWide(entry.szExeFile));
    return true;
  });
  return names;
}

std::vector<std::u16string> Win32Desktop::ListProcessFullPaths() {
  std::vector<std::u16string> paths;
  for (const std::uint32_t processId : ListProcessIds()) {
    std::u16string path = ProcessFullPath(processId);
    if (!path.empty()) {
      paths.push_back(std::move(path));
    }
  }
  return paths;
}

std::vector<std::u16string> Win32Desktop::ListProcessModules(std::uint32_t processId) {
  std::vector<std::u16string> modules;
  const ProcessHandle process(processId);
  if (!process.get()) {
    return modules;
  }
  std::vector<HMODULE> handles(kMaxModules);
  DWORD bytesNeeded = 0;
  if (!K32EnumProcessModulesEx(process.get(), handles.data(),
                               static_cast<DWORD>(handles.size() * sizeof(HMODULE)), &bytesNeeded,
                               LIST_MODULES_ALL)) {
    return modules;
  }
  const std::size_t count = std::min<std::size_t>(bytesNeeded / sizeof(HMODULE), kMaxModules);
  for (std::size_t i = 0; i < count; ++i) {
    std::u16string path = ModuleFileName(process.get(), handles[i]);
    if (!path.empty()) {
      modules.push_back(std::move(path));
    }
  }
  return modules;
}

std::optional<ScreenRect> Win32Desktop::WindowRect(WindowId window) {
  RECT rect;
  if (!GetWindowRect(ToHandle(window), &rect)) {
    return std::nullopt;
  }
  return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<ScreenRect> Win32Desktop::ClientRectOnScreen(WindowId window) {
  RECT client;
  if (!GetClientRect(ToHandle(window), &client)) {
    return std::nullopt;
  }
  POINT topLeft{client.left, client.top};
  POINT bottomRight{client.right, client.bottom};
  if (!ClientToScreen(ToHandle(window), &topLeft) ||
      !ClientToScreen(ToHandle(window), &bottomRight)) {
    return std::nullopt;
  }
  return ScreenRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

std::optional<ScreenRect> Win32Desktop::MonitorRectNear(std::int32_t x, std::int32_t y) {
  HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) {
    return std::nullopt;
  }
  const RECT& rect = info.rcMonitor;
  return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::vector<std::uint32_t> Win32Desktop::ListProcessIds() {
  std::vector<DWORD> ids(kMaxProcessIds);
  DWORD bytesReturned = 0;
  if (!K32EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)),
                        &bytesReturned)) {
    return {};
  }
  return std::vector<std::uint32_t>(ids.begin(), ids.begin() + bytesReturned / sizeof(DWORD));
}

std::vector<WindowId> Win32Desktop::ListVisibleWindows() {
  const HWND desktop = GetDesktopWindow();
  return CollectTopLevelWindows([desktop](HWND window) {
    if (window == desktop || ::IsIconic(window) || GetAncestor(window, GA_ROOT) != window) {
      return false;
    }
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return (style & WS_VISIBLE) != 0 && (style & WS_CHILD) == 0;
  });
}

std::u16string Win32Desktop::WindowText(WindowId window) {
  HWND handle = ToHandle(window);
  const int length = GetWindowTextLengthW(handle);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

std::vector<WindowId> Win32Desktop::ListOwnProcessWindows() {
  const HWND desktop = GetDesktopWindow();
  const DWORD ownProcessId = GetCurrentProcessId();
  return CollectTopLevelWindows([desktop, ownProcessId](HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return window != desktop && processId == ownProcessId;
  });
}
