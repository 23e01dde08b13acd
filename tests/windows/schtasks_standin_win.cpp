// Stands in for the system's schtasks.exe in the tests (Wine's own accepts
// none of these verbs): /query /tn, /create /tn /tr /sc /RL and /delete /tn
// /f over a store file of task names, one per line. Every command line is
// appended to the store file's name + ".log". The store is the file named by
// VT_SCHTASKS_STORE, or C:\schtasks_store.txt.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring StorePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"VT_SCHTASKS_STORE", path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? path : L"C:\\schtasks_store.txt";
}

std::vector<std::wstring> ReadTasks(const std::wstring& store) {
  std::vector<std::wstring> tasks;
  FILE* file = _wfopen(store.c_str(), L"r, ccs=UTF-8");
  if (!file) {
    return tasks;
  }
  wchar_t line[1024];
  while (fgetws(line, 1024, file)) {
    std::wstring name = line;
    while (!name.empty() && (name.back() == L'\n' || name.back() == L'\r')) {
      name.pop_back();
    }
    if (!name.empty()) {
      tasks.push_back(name);
    }
  }
  fclose(file);
  return tasks;
}

void WriteTasks(const std::wstring& store, const std::vector<std::wstring>& tasks) {
  FILE* file = _wfopen(store.c_str(), L"w, ccs=UTF-8");
  if (!file) {
    return;
  }
  for (const std::wstring& task : tasks) {
    fwprintf(file, L"%ls\n", task.c_str());
  }
  fclose(file);
}

void AppendLog(const std::wstring& store) {
  FILE* file = _wfopen((store + L".log").c_str(), L"a, ccs=UTF-8");
  if (file) {
    fwprintf(file, L"%ls\n", GetCommandLineW());
    fclose(file);
  }
}

// The value after the option (case-insensitive), or empty.
std::wstring Option(int count, wchar_t** args, const wchar_t* name) {
  for (int i = 1; i + 1 < count; ++i) {
    if (_wcsicmp(args[i], name) == 0) {
      return args[i + 1];
    }
  }
  return {};
}

bool HasFlag(int count, wchar_t** args, const wchar_t* name) {
  for (int i = 1; i < count; ++i) {
    if (_wcsicmp(args[i], name) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

int wmain(int count, wchar_t** args) {
  const std::wstring store = StorePath();
  AppendLog(store);
  std::vector<std::wstring> tasks = ReadTasks(store);
  const std::wstring name = Option(count, args, L"/tn");
  const auto found = std::find_if(tasks.begin(), tasks.end(), [&](const std::wstring& task) {
    return _wcsicmp(task.c_str(), name.c_str()) == 0;
  });
  if (HasFlag(count, args, L"/query")) {
    if (found == tasks.end()) {
      fwprintf(stderr, L"ERROR: The system cannot find the file specified.\n");
      return 1;
    }
    wprintf(
        L"\nFolder: \\\nTaskName                                 Next Run Time          Status\n"
        L"======================================== ====================== ===============\n"
        L"%ls                                 N/A                    Ready\n",
        name.c_str());
    return 0;
  }
  if (HasFlag(count, args, L"/create")) {
    if (found == tasks.end()) {
      tasks.push_back(name);
      WriteTasks(store, tasks);
    }
    wprintf(L"SUCCESS: The scheduled task \"%ls\" has successfully been created.\n", name.c_str());
    return 0;
  }
  if (HasFlag(count, args, L"/delete")) {
    if (found == tasks.end()) {
      fwprintf(stderr, L"ERROR: The system cannot find the file specified.\n");
      return 1;
    }
    tasks.erase(found);
    WriteTasks(store, tasks);
    wprintf(L"SUCCESS: The scheduled task \"%ls\" was successfully deleted.\n", name.c_str());
    return 0;
  }
  fwprintf(stderr, L"ERROR: Invalid syntax.\n");
  return 1;
}
