#include "ipc/process_control_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "base/text.h"
#include "base/wide_win.h"
#include "test_support_win.h"

namespace {

const std::u16string kCmd = u"C:\\windows\\system32\\cmd.exe";

std::u16string OwnPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return FromWide(std::wstring_view(path, length));
}

// Makes the folder current while it lives; started processes inherit it.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::wstring& folder) {
    GetCurrentDirectoryW(MAX_PATH, previous_);
    SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentFolderScope() { SetCurrentDirectoryW(previous_); }

 private:
  wchar_t previous_[MAX_PATH] = {};
};

// The ids of this process's children with the file name.
std::vector<DWORD> Children(const std::wstring& fileName) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == GetCurrentProcessId() &&
        _wcsicmp(entry.szExeFile, fileName.c_str()) == 0) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

// A handle to a child with the file name that is not among the earlier ones,
// once it appears; the handle keeps its exit code readable after it ends.
HANDLE OpenNewChild(const std::wstring& fileName, const std::vector<DWORD>& earlier,
                    DWORD timeoutMs) {
  HANDLE child = nullptr;
  WaitUntil(
      [&] {
        for (DWORD id : Children(fileName)) {
          if (std::find(earlier.begin(), earlier.end(), id) == earlier.end()) {
            child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                                FALSE, id);
            return child != nullptr;
          }
        }
        return false;
      },
      timeoutMs);
  return child;
}

}  // namespace

TEST(ProcessControlWinTest, MissingFileGivesThePlatformErrorCode) {
  Win32ProcessControl processes;
  const std::u16string missing =
      FromWide(MakeScratchFolder(L"process_missing")) + u"Vantreloquin_HelperModule.exe";
  EXPECT_EQ(processes.ExecuteProcess(missing, {u"token"}, 0, false), 2u);
}

TEST(ProcessControlWinTest, WaitRunsTheProcessToItsEndWhateverItsExitCode) {
  Win32ProcessControl processes;
  const std::wstring folder = MakeScratchFolder(L"process_wait");
  CurrentFolderScope current(folder);
  // The command reaches cmd as one quoted argument, which cmd unquotes.
  EXPECT_EQ(processes.ExecuteProcess(kCmd, {u"/c", u"echo ran>ran.txt& exit 3"}, 30, true), 0u);
  EXPECT_EQ(ReadWholeFile(folder + L"ran.txt").substr(0, 3), "ran")
      << "written before ExecuteProcess returned";
}

TEST(ProcessControlWinTest, WaitThatTimesOutEndsTheProcessWithCode9AndSucceeds) {
  Win32ProcessControl processes;
  const std::vector<DWORD> earlier = Children(L"cmd.exe");
  HANDLE child = nullptr;
  std::thread watcher([&] { child = OpenNewChild(L"cmd.exe", earlier, 10000); });
  const ULONGLONG begin = GetTickCount64();
  // An endless loop inside cmd itself, so that no grandchild outlives it.
  EXPECT_EQ(processes.ExecuteProcess(kCmd, {u"/c", u"for /l %i in (1,0,2) do rem"}, 1, true), 0u);
  const ULONGLONG elapsed = GetTickCount64() - begin;
  watcher.join();
  EXPECT_GE(elapsed, 900u);
  EXPECT_LT(elapsed, 10000u);
  ASSERT_NE(child, nullptr);
  if (WaitForSingleObject(child, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(child, 1);  // it would spin on after the test
    ADD_FAILURE() << "the process still ran";
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(child, &exitCode);
  EXPECT_EQ(exitCode, 9u);
  CloseHandle(child);
}

TEST(ProcessControlWinTest, HelperAliveNeedsAValidWindowAndTheProcessFileName) {
  Win32ProcessControl processes;
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  // The block keeps the low 32 bits of the handle.
  const auto windowValue = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
  const std::uint32_t self = GetCurrentProcessId();
  const std::u16string path = OwnPath();
  const std::u16string fileName = path.substr(path.rfind(u'\\') + 1);

  struct Case {
    const char* what;
    std::uint32_t processId;
    std::uint32_t window;
    std::u16string fileName;
    bool alive;
  };
  const Case cases[] = {
      {"own process and window", self, windowValue, fileName, true},
      {"file name in other letter case", self, windowValue, ToUpperAscii(fileName), true},
      {"another file name", self, windowValue, u"Vantreloquin_HelperModule.exe", false},
      {"no window", self, 0, fileName, false},
      {"no such process", 0xFFFFFFF0u, windowValue, fileName, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(processes.IsHelperAlive(c.processId, c.window, c.fileName), c.alive) << c.what;
  }
  DestroyWindow(window);
  EXPECT_FALSE(processes.IsHelperAlive(self, windowValue, fileName)) << "destroyed window";
}

TEST(ProcessControlWinTest, RunningProcessPathsHoldTheOwnFullPath) {
  Win32ProcessControl processes;
  const std::vector<std::u16string> paths = processes.RunningProcessPaths();
  EXPECT_NE(std::find(paths.begin(), paths.end(), OwnPath()), paths.end());
  EXPECT_EQ(std::count(paths.begin(), paths.end(), std::u16string()), 0);
}
