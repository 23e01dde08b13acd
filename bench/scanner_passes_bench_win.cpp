// The scanner on the real desktop (Windows or Wine): CPU time of one scan
// with the default rules and with 50 file-name and 50 full-path rules, and
// the time from bringing a program to the front until the decision changes
// (20 switches between two probe programs).
// Run by hand: build/windows/bin/scanner_passes_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

#include "base/format.h"
#include "base/wide_win.h"
#include "config/folders.h"
#include "fakes/decision_state.h"
#include "rules/desktop_win.h"
#include "rules/process_scanner.h"

namespace {

struct Scanning : DecisionState {
  RecentForegroundHistory recent;
  Win32Desktop desktop;
  ProcessScanner scanner{desktop, WindowsFolder(),
                         ScannerSources{stateLock, blockRequested, forceDownclockRequested,
                                        clockTargetsLock, coreClockTarget, memClockTarget,
                                        settingsLock, settings, recent, [] {}, [] {}, [] {}}};
};

double CpuMicrosecondsPerScan(ProcessScanner& scanner, int scans) {
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelBefore, &userBefore);
  for (int i = 0; i < scans; ++i) {
    scanner.Scan();
  }
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernelAfter, &userAfter);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const unsigned long long used =
      ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  return static_cast<double>(used) / 10.0 / scans;
}

HWND WindowOf(DWORD processId) {
  struct Search {
    DWORD id;
    HWND found;
  } search{processId, nullptr};
  for (int attempt = 0; attempt < 100 && !search.found; ++attempt) {
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == s->id && IsWindowVisible(window)) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    Sleep(50);
  }
  return search.found;
}

PROCESS_INFORMATION StartProbe(const std::wstring& folder, const wchar_t* exe) {
  std::wstring commandLine = L"\"" + folder + exe + L"\" window";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                 &startup, &info);
  return info;
}

}  // namespace

int wmain() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder = folder.substr(0, folder.rfind(L'\\') + 1);

  {
    Scanning defaults;
    defaults.settings.DecodeRules();
    std::printf("one scan, default rules:          %8.1f us CPU\n",
                CpuMicrosecondsPerScan(defaults.scanner, 200));
  }
  {
    Scanning many;
    for (int i = 0; i < 50; ++i) {
      AddRule(many.settings.Rules(), Format(u"game%i.exe", i), ActionType::Block, true, 0);
      AddRule(many.settings.Rules(), Format(u"D:\\Games\\Title %i\\game.exe", i), ActionType::Block,
              true, 0);
    }
    many.settings.EncodeRules();
    many.settings.DecodeRules();
    std::printf("one scan, 50 name + 50 path rules: %8.1f us CPU\n",
                CpuMicrosecondsPerScan(many.scanner, 50));
  }

  CopyFileW((folder + L"window_probe.exe").c_str(), (folder + L"other_probe.exe").c_str(), FALSE);
  PROCESS_INFORMATION probe = StartProbe(folder, L"window_probe.exe");
  PROCESS_INFORMATION other = StartProbe(folder, L"other_probe.exe");
  HWND probeWindow = WindowOf(probe.dwProcessId);
  HWND otherWindow = WindowOf(other.dwProcessId);

  Scanning switching;
  AddRule(switching.settings.Rules(), u"window_probe.exe", ActionType::BlockIfForeground, true, 0);
  switching.settings.EncodeRules();
  switching.settings.DecodeRules();
  std::atomic<bool> stop{false};
  std::thread loop([&] {
    while (!stop) {
      switching.scanner.Scan();
      Sleep(ProcessScanner::kScanIntervalMs);
    }
  });
  std::vector<double> reactions;
  for (int i = 0; i < 20 && probeWindow && otherWindow; ++i) {
    const bool toProbe = i % 2 == 0;
    SetForegroundWindow(toProbe ? probeWindow : otherWindow);
    const ULONGLONG start = GetTickCount64();
    while (switching.blockRequested.load() != toProbe && GetTickCount64() - start < 5000) {
      Sleep(1);
    }
    reactions.push_back(static_cast<double>(GetTickCount64() - start));
  }
  stop = true;
  loop.join();
  if (!reactions.empty()) {
    std::sort(reactions.begin(), reactions.end());
    std::printf("front to decision, %zu switches:   median %.0f ms, worst %.0f ms\n",
                reactions.size(), reactions[reactions.size() / 2], reactions.back());
  } else {
    std::printf("front to decision: probe windows not found\n");
  }
  TerminateProcess(probe.hProcess, 0);
  TerminateProcess(other.hProcess, 0);
  return 0;
}
