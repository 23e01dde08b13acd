// The thread that decides: about three times a second it inspects the
// foreground window and the running processes, walks the rule table from the
// top and lets the first rule that applies decide whether the clocks are
// held up, forced down or left alone. Each change of the decision reaches
// the controller's decision fields and the clock-state publisher.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "base/critical_section.h"
#include "base/event.h"
#include "config/general_settings.h"
#include "rules/desktop.h"
#include "rules/foreground.h"
#include "rules/recent_foreground.h"
#include "rules/three_d.h"

// What the scanner reads and writes; the controller owns all of it.
struct ScannerSources {
  CriticalSection& stateLock;
  std::atomic<bool>& blockRequested;
  std::atomic<bool>& forceDownclockRequested;
  std::mutex& clockTargetsLock;
  std::u16string& coreClockTarget;
  std::u16string& memClockTarget;
  CriticalSection_Wrapper& settingsLock;
  const CGeneralSettings_ConfigFile& settings;
  RecentForegroundHistory& recentForeground;
  // The clock-state publisher, the helper dispatcher's wake, and the post of
  // timer 100 that starts the controller's timers.
  std::function<void()> updateBlockingMethod;
  std::function<void()> wakeDispatcher;
  std::function<void()> startControllerTimers;
};

// One scan's decision.
struct ScanDecision {
  bool block = false;
  bool force = false;
  std::u16string coreTarget = u"DEFAULT";
  std::u16string memTarget = u"DEFAULT";
  std::u16string criteria;
  std::u16string actionText;
};

class ProcessScanner {
 public:
  static constexpr std::uint32_t kStartDelayMs = 4000;
  static constexpr std::uint32_t kScanIntervalMs = 350;

  ProcessScanner(Desktop& desktop, std::u16string windowsFolder, ScannerSources sources);

  // The job: the start delay, the post of timer 100, then scans until the
  // stop signal is set.
  void ThreadProcessScanner(Event& stopSignal);

  // One scan; returns its decision.
  ScanDecision Scan();

 private:
  // The running processes, listed at most once per scan and only on need,
  // with their names folded to lower case for the equality tests.
  struct ProcessList {
    std::vector<std::u16string> folded;
    std::unordered_set<std::u16string> foldedSet;
  };
  struct ProcessLists {
    std::optional<ProcessList> fullPaths;
    std::optional<ProcessList> fileNames;
  };

  // Walks the table; the decision of the first rule that applies.
  ScanDecision Decide(const ForegroundInfo& foreground, ProcessLists& lists);
  void Report(const ScanDecision& decision);
  void ApplyState(const ScanDecision& decision);

  const ProcessList& FullPaths(ProcessLists& lists);
  const ProcessList& FileNames(ProcessLists& lists);
  static ProcessList MakeProcessList(std::vector<std::u16string> entries);

  Desktop& desktop_;
  const std::u16string windowsFolder_;
  ScannerSources sources_;
  ThreeDCache threeD_;
  std::u16string previousCriteria_;
  std::u16string previousActionText_;
  std::u16string previousCoreTarget_ = u"DEFAULT";
  std::u16string previousMemTarget_ = u"DEFAULT";
};
