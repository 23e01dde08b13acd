#include "ipc/process_control_win.h"

#include <windows.h>

#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2  // the K32 entry points of kernel32
#endif
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <new>

#include "base/text.h"
#include "base/wide_win.h"

namespace {

// The size the structure has on 64-bit Windows, which the start passes as is.
constexpr DWORD kStartupInfoSize = 104;
static_assert(sizeof(STARTUPINFOW) == kStartupInfoSize);

constexpr DWORD kTerminatedExitCode = 9;

// Long paths can exceed MAX_PATH.
constexpr DWORD kPathUnits = 32768;

// The executable file name of the process, empty when there is none.
std::u16string ProcessFileName(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::u16string name;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == processId) {
      name = FromWide(entry.szExeFile);
      break;
    }
  }
  CloseHandle(snapshot);
  return name;
}

}  // namespace

std::uint32_t Win32ProcessControl::ExecuteProcess(std::u16string_view path,
                                                  const std::vector<std::u16string>& arguments,
                                                  std::uint32_t waitSeconds, bool noWindow) {
  std::u16string applicationName;
  std::u16string commandLine;  // CreateProcessW may write into it
  try {
    applicationName.assign(path);
    commandLine = BuildCommandLine(path, arguments);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = kStartupInfoSize;
  PROCESS_INFORMATION info{};
  const DWORD flags = CREATE_DEFAULT_ERROR_MODE | (noWindow ? CREATE_NO_WINDOW : 0);
  if (!CreateProcessW(AsWide(applicationName), reinterpret_cast<LPWSTR>(commandLine.data()),
                      nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &info)) {
    return GetLastError();
  }
  if (waitSeconds != 0 &&
      WaitForSingleObject(info.hProcess, ProcessWaitMilliseconds(waitSeconds)) == WAIT_TIMEOUT) {
    TerminateProcess(info.hProcess, kTerminatedExitCode);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 0;
}

bool Win32ProcessControl::IsHelperAlive(std::uint32_t processId, std::uint32_t window,
                                        std::u16string_view fileName) {
  // The block holds the low 32 bits of the handle, which are all a window
  // handle uses. IsWindow accepts any value without faulting.
  const HWND handle = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
  return IsWindow(handle) && EqualsNoCase(ProcessFileName(processId), fileName);
}

std::vector<std::u16string> Win32ProcessControl::RunningProcessPaths() {
  std::vector<DWORD> ids(1024);
  DWORD bytes = 0;
  while (true) {
    const DWORD capacity = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!K32EnumProcesses(ids.data(), capacity, &bytes)) {
      return {};
    }
    if (bytes < capacity) {
      break;
    }
    ids.resize(ids.size() * 2);  // a full buffer may have cut the list
  }
  ids.resize(bytes / sizeof(DWORD));

  std::vector<std::u16string> paths;
  std::vector<wchar_t> buffer(kPathUnits);
  for (DWORD id : ids) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) {
      continue;
    }
    const DWORD length = K32GetModuleFileNameExW(process, nullptr, buffer.data(), kPathUnits);
    CloseHandle(process);
    if (length != 0) {
      paths.push_back(FromWide(std::wstring_view(buffer.data(), length)));
    }
  }
  return paths;
}
