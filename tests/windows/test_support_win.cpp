#include "test_support_win.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

std::wstring MakeScratchFolder(const std::wstring& tag) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  // Process ids repeat across runs in one prefix: take a name not used yet.
  static int counter = 0;
  while (true) {
    std::wstringstream name;
    name << temp << L"vt_" << tag << L"_" << GetCurrentProcessId() << L"_" << GetTickCount64()
         << L"_" << ++counter << L"\\";
    if (CreateDirectoryW(name.str().c_str(), nullptr)) {
      return name.str();
    }
  }
}

std::vector<std::wstring> FilesEndingWith(const std::wstring& folder, const std::wstring& suffix) {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((folder + L"*" + suffix).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    return found;
  }
  do {
    found.push_back(folder + data.cFileName);
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

std::string ReadWholeFile(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

ChildProcess::ChildProcess(const std::wstring& commandLine,
                           const std::vector<std::wstring>& extraEnvironment,
                           const std::wstring& program) {
  std::wstring environment;
  if (!extraEnvironment.empty()) {
    // The extra entries replace entries of the same name.
    const auto nameOf = [](const std::wstring& entry) {
      return entry.substr(0, entry.find(L'=', 1));
    };
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
      entries.emplace_back(entry);
    }
    FreeEnvironmentStringsW(block);
    for (const std::wstring& extra : extraEnvironment) {
      std::erase_if(entries, [&](const std::wstring& entry) {
        return _wcsicmp(nameOf(entry).c_str(), nameOf(extra).c_str()) == 0;
      });
      entries.push_back(extra);
    }
    for (const std::wstring& entry : entries) {
      environment.append(entry).push_back(L'\0');
    }
    environment.push_back(L'\0');
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring mutableLine = commandLine;
  if (CreateProcessW(program.empty() ? nullptr : program.c_str(), mutableLine.data(), nullptr,
                     nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT | CREATE_DEFAULT_ERROR_MODE,
                     environment.empty() ? nullptr : environment.data(), nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  if (process_) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::wstring Utf16TextAfterMark(const std::string& bytes) {
  if (bytes.size() < 2) {
    return {};
  }
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}
