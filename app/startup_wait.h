// The pause at a start by the logon task: wait for a chosen program to
// appear, then a further fixed time, watching SHIFT all along.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class StartupEnvironment {
 public:
  virtual ~StartupEnvironment() = default;
  // The command-line arguments, the program path included.
  virtual std::vector<std::u16string> CommandLineArguments() = 0;
  virtual bool IsShiftHeld() = 0;
  // Whether a running process has the name as its file name or its folder.
  virtual bool IsProcessRunning(std::u16string_view name) = 0;
  virtual std::uint64_t TickCountMs() = 0;
  virtual void SleepMs(std::uint32_t ms) = 0;
};

struct StartupWaitSettings {
  std::u16string processName;        // WaitFor_ProcessName
  std::u16string appearSecondsText;  // WaitFor_ToAppear_Seconds
  std::u16string afterSecondsText;   // WaitFor_After_Seconds
};

inline constexpr std::u16string_view kStartupSwitch = u"startup_launched";

// True when an argument equals "startup_launched" after trimming, in any case.
bool HasStartupSwitch(const std::vector<std::u16string>& arguments);

// Seconds text to milliseconds: digits only (after trimming), else 0.
std::uint64_t WaitLimitMs(std::u16string_view secondsText);

// True when the name equals the folder part (with its trailing backslash) or
// the file-name part of a process path, ignoring ASCII letter case. An empty
// name never matches.
bool ProcessPathMatches(std::u16string_view name, std::u16string_view processPath);

// Runs the wait when the program was started with the switch; returns
// whether SHIFT was seen held at any sample.
bool RunStartupWait(StartupEnvironment& environment, const StartupWaitSettings& settings);
