#include "rules/process_scanner.h"

#include <algorithm>
#include <chrono>

#include "app/log.h"
#include "base/text.h"
#include "rules/fullscreen.h"
#include "rules/path_helpers.h"
#include "rules/rule.h"
#include "rules/wildcard.h"

namespace {

constexpr std::u16string_view kBannerBorder = u"=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=+=";

enum class Applies { Always, Foreground, BackgroundOnly };

Applies WhenApplies(ActionType action) {
  switch (action) {
    case ActionType::BlockIfForeground:
    case ActionType::DownclockIfForeground:
    case ActionType::ForceDownclockIfForeground:
      return Applies::Foreground;
    case ActionType::BlockIfBackground:
    case ActionType::DownclockIfBackground:
    case ActionType::ForceDownclockIfBackground:
      return Applies::BackgroundOnly;
    default:
      return Applies::Always;
  }
}

bool IsBlockFamily(ActionType action) {
  return action == ActionType::Block || action == ActionType::BlockIfForeground ||
         action == ActionType::BlockIfBackground;
}

bool IsForceFamily(ActionType action) {
  return action == ActionType::ForceDownclock || action == ActionType::ForceDownclockIfForeground ||
         action == ActionType::ForceDownclockIfBackground;
}

bool AnyMatches(const WildcardPattern& foldedPattern, const std::vector<std::u16string>& folded) {
  return std::any_of(folded.begin(), folded.end(), [&](const std::u16string& entry) {
    return MatchFoldedPattern(foldedPattern, entry);
  });
}

}  // namespace

ProcessScanner::ProcessScanner(Desktop& desktop, std::u16string windowsFolder,
                               ScannerSources sources)
    : desktop_(desktop), windowsFolder_(std::move(windowsFolder)), sources_(std::move(sources)) {}

void ProcessScanner::ThreadProcessScanner(Event& stopSignal) {
  Log(u"ThreadProcessScanner:: Delaying 4 seconds");
  stopSignal.Wait(std::chrono::milliseconds(kStartDelayMs));
  Log(u"ThreadProcessScanner:: Done waiting, signal main-thread to start timers.");
  sources_.startControllerTimers();
  Log(u"ThreadProcessScanner:: Continuing...");
  while (!stopSignal.Wait(std::chrono::milliseconds(0))) {
    Scan();
    stopSignal.Wait(std::chrono::milliseconds(kScanIntervalMs));
  }
}

ScanDecision ProcessScanner::Scan() {
  const ForegroundInfo foreground =
      InspectForeground(desktop_, desktop_.ForegroundWindow(), windowsFolder_);
  if (foreground.usable) {
    sources_.recentForeground.AddRecentForeground(
        foreground.fullPath.empty() ? foreground.fileName : foreground.fullPath);
  }
  ProcessLists lists;
  ScanDecision decision;
  {
    ReadLockGuard settings(sources_.settingsLock);
    decision = Decide(foreground, lists);
    Report(decision);
  }
  ApplyState(decision);
  return decision;
}

ScanDecision ProcessScanner::Decide(const ForegroundInfo& fg, ProcessLists& lists) {
  ScanDecision decision;
  const bool excludeScreenSaver = sources_.settings.bExcludeScreenSavers.Value() &&
                                  EqualsNoCase(GetExtension(fg.fileName), u"scr");
  for (const Rule& rule : sources_.settings.Rules()) {
    if (!IsRuleActive(rule)) {
      continue;
    }
    const std::u16string& executable = rule.executable;
    const bool isFullscreenRule = EqualsNoCase(executable, kFullscreenRuleName);
    const bool is3DRule = EqualsNoCase(executable, k3DRuleName);

    // The special tests: the full-screen rule runs its own test; every other
    // rule consults the 3D cache, which advances its reuse count.
    bool fullscreen = false;
    bool threeD = false;
    if (isFullscreenRule && !excludeScreenSaver) {
      fullscreen = fg.usable && IsFullscreenWindow(desktop_, fg.window, fg.fileName);
    } else if (fg.usable) {
      threeD = threeD_.QueryThreeD(desktop_, fg.window);
    }

    const Applies applies = WhenApplies(rule.action);
    const bool wantsR = applies != Applies::Foreground;
    bool f = false;
    bool r = false;
    bool specialMatchedByTest = false;
    if (executable.find(u'*') != std::u16string::npos) {
      const WildcardPattern pattern = CompilePattern(executable);
      f = (fg.usable && MatchPattern(pattern, fg.fullPath)) || MatchPattern(pattern, fg.fileName);
      if (wantsR) {
        // The lists are folded once per scan, so one folded pattern serves.
        const WildcardPattern folded = CompilePattern(ToLowerAscii(executable));
        r = AnyMatches(folded, FullPaths(lists).folded) ||
            AnyMatches(folded, FileNames(lists).folded);
      }
    } else if (GetFileNamePart(executable) == executable) {
      if (isFullscreenRule || is3DRule || EqualsNoCase(executable, kDefaultRuleName)) {
        f = true;
        r = wantsR;
        specialMatchedByTest = (isFullscreenRule && fullscreen) || (is3DRule && threeD);
      } else {
        const std::u16string name = TrimBlanks(executable);
        f = fg.usable && EqualsNoCase(fg.fileName, executable);
        r = wantsR && FileNames(lists).foldedSet.count(ToLowerAscii(name)) != 0;
      }
    } else {
      const std::u16string path = TrimBlanks(executable);
      f = fg.usable && EqualsNoCase(fg.fullPath, executable);
      r = wantsR && FullPaths(lists).foldedSet.count(ToLowerAscii(path)) != 0;
    }

    if ((isFullscreenRule && !fullscreen) || (is3DRule && !threeD)) {
      continue;
    }
    const bool ruleApplies = applies == Applies::Always       ? (f || r)
                             : applies == Applies::Foreground ? f
                                                              : (r && !f);
    if (!ruleApplies) {
      continue;
    }
    decision.block = IsBlockFamily(rule.action) || IsForceFamily(rule.action);
    decision.force = IsForceFamily(rule.action);
    if (IsBlockFamily(rule.action)) {
      decision.coreTarget = GetCoreClock(rule);
      decision.memTarget = GetMemClock(rule);
    }
    decision.criteria = specialMatchedByTest ? executable + u" " + fg.fileName : executable;
    decision.actionText = GetActionName(rule.action);
    break;
  }
  return decision;
}

void ProcessScanner::Report(const ScanDecision& decision) {
  if (decision.block == sources_.blockRequested.load() && decision.criteria == previousCriteria_ &&
      decision.actionText == previousActionText_) {
    return;
  }
  sources_.wakeDispatcher();
  previousCriteria_ = decision.criteria;
  previousActionText_ = decision.actionText;
  const std::u16string border(kBannerBorder);
  LogFormat(u"%s\r\nRule Action: \"%s\" \r\nRule Criteria: \"%s\"\r\n%s", border,
            decision.actionText, decision.criteria, border);
}

void ProcessScanner::ApplyState(const ScanDecision& decision) {
  const bool targetsChanged =
      decision.coreTarget != previousCoreTarget_ || decision.memTarget != previousMemTarget_;
  if (targetsChanged) {
    previousCoreTarget_ = decision.coreTarget;
    previousMemTarget_ = decision.memTarget;
  }
  if (decision.block == sources_.blockRequested.load() &&
      decision.force == sources_.forceDownclockRequested.load() && !targetsChanged) {
    return;
  }
  CriticalSectionLock state(sources_.stateLock);
  sources_.blockRequested = decision.block;
  sources_.forceDownclockRequested = decision.force;
  if (targetsChanged) {
    Log(u"Updating Clock Targets");
    std::lock_guard<std::mutex> targets(sources_.clockTargetsLock);
    sources_.coreClockTarget = decision.coreTarget;
    sources_.memClockTarget = decision.memTarget;
  }
  sources_.updateBlockingMethod();
}

const ProcessScanner::ProcessList& ProcessScanner::FullPaths(ProcessLists& lists) {
  if (!lists.fullPaths) {
    lists.fullPaths = MakeProcessList(desktop_.ListProcessFullPaths());
  }
  return *lists.fullPaths;
}

const ProcessScanner::ProcessList& ProcessScanner::FileNames(ProcessLists& lists) {
  if (!lists.fileNames) {
    lists.fileNames = MakeProcessList(desktop_.ListProcessFileNames());
  }
  return *lists.fileNames;
}

ProcessScanner::ProcessList ProcessScanner::MakeProcessList(std::vector<std::u16string> entries) {
  ProcessList list;
  list.folded.reserve(entries.size());
  for (const std::u16string& entry : entries) {
    list.folded.push_back(ToLowerAscii(entry));
  }
  list.foldedSet.insert(list.folded.begin(), list.folded.end());
  return list;
}
