// Helpers of the Windows tests: the output folder, scratch folders and child
// processes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The folder of the running test executable, where every product binary lies.
std::wstring ExecutableFolder();

// A new empty folder under the temporary folder, with a trailing backslash.
std::wstring MakeScratchFolder(const std::wstring& tag);

// The files in a folder whose names end with the suffix.
std::vector<std::wstring> FilesEndingWith(const std::wstring& folder, const std::wstring& suffix);

std::string ReadWholeFile(const std::wstring& path);

// The UTF-16LE text after a file's two-byte mark (the caller checks the mark).
std::wstring Utf16TextAfterMark(const std::string& bytes);

class ChildProcess {
 public:
  // Starts the command line; extraEnvironment entries ("NAME=value") are
  // added to this process's environment. With a program path, that program
  // runs and the command line is only what it is given.
  explicit ChildProcess(const std::wstring& commandLine,
                        const std::vector<std::wstring>& extraEnvironment = {},
                        const std::wstring& program = {});
  ~ChildProcess();  // ends the child if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // The exit code once the child has ended within the time, else nothing.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Polls until the predicate holds or the time is up; returns its last answer.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!predicate()) {
    if (GetTickCount64() >= end) {
      return predicate();
    }
    Sleep(20);
  }
  return true;
}
