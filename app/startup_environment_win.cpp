#include "app/startup_environment_win.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <map>

#include "base/wide_win.h"

namespace {

constexpr DWORD kMaxProcessIds = 10000;
constexpr DWORD kMaxPathChars = 5000;

// File names of the running processes by id, from a Tool Help snapshot.
std::map<DWORD, std::u16string> SnapshotNames() {
  std::map<DWORD, std::u16string> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return names;
  }
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    names[entry.th32ProcessID] = FromWide(entry.szExeFile);
  }
  CloseHandle(snapshot);
  return names;
}

std::u16string FullImagePath(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) {
    return {};
  }
  std::wstring path(kMaxPathChars, L'\0');
  const DWORD length = K32GetModuleFileNameExW(process, nullptr, path.data(), kMaxPathChars);
  CloseHandle(process);
  return FromWide(std::wstring_view(path.data(), length));
}

}  // namespace

std::vector<std::u16string> WindowsStartupEnvironment::CommandLineArguments() {
  std::vector<std::u16string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!list) {
    return arguments;
  }
  for (int i = 0; i < count; ++i) {
    arguments.push_back(FromWide(list[i]));
  }
  LocalFree(list);
  return arguments;
}

bool WindowsStartupEnvironment::IsShiftHeld() {
  // The thread's key state only follows the key messages it has read, and a
  // process that just started has read none: ask the keyboard as well.
  return (GetKeyState(VK_SHIFT) & 0x8000) != 0 || (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

bool WindowsStartupEnvironment::IsProcessRunning(std::u16string_view name) {
  if (name.empty()) {
    return false;
  }
  std::vector<DWORD> ids(kMaxProcessIds);
  DWORD bytes = 0;
  if (!K32EnumProcesses(ids.data(), kMaxProcessIds * sizeof(DWORD), &bytes)) {
    return false;
  }
  ids.resize(bytes / sizeof(DWORD));
  std::map<DWORD, std::u16string> snapshot;
  bool snapshotTaken = false;
  for (DWORD id : ids) {
    std::u16string path = FullImagePath(id);
    if (path.empty()) {
      if (!snapshotTaken) {
        snapshot = SnapshotNames();
        snapshotTaken = true;
      }
      const auto found = snapshot.find(id);
      if (found != snapshot.end()) {
        path = found->second;
      }
    }
    if (ProcessPathMatches(name, path)) {
      return true;
    }
  }
  return false;
}

std::uint64_t WindowsStartupEnvironment::TickCountMs() {
  return GetTickCount64();
}

void WindowsStartupEnvironment::SleepMs(std::uint32_t ms) {
  Sleep(ms);
}
