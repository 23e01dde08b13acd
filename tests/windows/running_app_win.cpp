#include "running_app_win.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include "config/folders.h"
#include "ipc/shared_block_layout.h"

namespace {

const wchar_t kControllerTitle[] = L"Ostrafelmoria Vantreloquin 1.2-6.5";

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId) {
          s->found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND VisibleWindowOf(DWORD processId, const std::wstring& title, const std::wstring& className) {
  for (HWND window : TopLevelWindowsOf(processId)) {
    wchar_t text[128] = {};
    wchar_t name[128] = {};
    GetWindowTextW(window, text, 128);
    GetClassNameW(window, name, 128);
    if (IsWindowVisible(window) && title == text && className == name) {
      return window;
    }
  }
  return nullptr;
}

HWND ControllerWindowOf(DWORD processId) {
  for (HWND window : TopLevelWindowsOf(processId)) {
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    if (std::wstring(title) == kControllerTitle) {
      return window;
    }
  }
  return nullptr;
}

std::wstring AppCommandLine() {
  return L"\"" + ExecutableFolder() + L"Vantreloquin.exe\"";
}

std::uint32_t PublishedState(const std::uint8_t* bytes) {
  return block::ReadU32(bytes, block::kClockState + block::clock::kState);
}

std::wstring ProbeCommandLine(const wchar_t* exe, const wchar_t* mode) {
  return L"\"" + ExecutableFolder() + exe + L"\" " + mode;
}

bool ChildRuns(DWORD parentId, const wchar_t* fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    found = entry.th32ParentProcessID == parentId && _wcsicmp(entry.szExeFile, fileName) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

void StoreSettings(const std::function<void(CGeneralSettings_ConfigFile&)>& edit) {
  CGeneralSettings_ConfigFile settings;
  settings.DecodeRules();
  settings.bShowSplash.Set(false);  // tests that want the splash turn it on
  edit(settings);
  settings.EncodeRules();
  ASSERT_TRUE(EnsureFolderExists(DataFolder()));
  for (const char16_t* name : {u"Vantreloquin.arc", u"Vantreloquin.backup"}) {
    settings.SetPath(DataFolder() + name);
    std::u16string message;
    ASSERT_TRUE(settings.Save(message));
  }
}

RunningApp::RunningApp(const std::vector<std::wstring>& environment)
    : process_(AppCommandLine(), environment) {
  if (process_.started()) {
    WaitUntil([this] { return (controller_ = ControllerWindowOf(process_.id())) != nullptr; },
              kStartTimeoutMs);
  }
}

RunningApp::~RunningApp() {
  if (controller_ && !process_.WaitForExit(0).has_value()) {
    PostMessageW(controller_, WM_CLOSE, 0, 0);
    process_.WaitForExit(30000);
  }
}
