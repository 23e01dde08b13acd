// What the helper supervisor needs of the platform: starting a process and
// telling whether a helper runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;

  // Starts the program at path with the arguments (quoted as the runtime
  // library splits them) and waits up to waitSeconds for it (0: no wait; a
  // process still running then is ended with exit code 9). Returns 0 on
  // success, else the platform's error code.
  virtual std::uint32_t ExecuteProcess(std::u16string_view path,
                                       const std::vector<std::u16string>& arguments,
                                       std::uint32_t waitSeconds, bool noWindow) = 0;

  // Whether the window value is a valid window and the process with the id
  // has the file name (ignoring ASCII letter case).
  virtual bool IsHelperAlive(std::uint32_t processId, std::uint32_t window,
                             std::u16string_view fileName) = 0;

  // Full image paths of the running processes (empty ones left out).
  virtual std::vector<std::u16string> RunningProcessPaths() = 0;
};

// The command line ExecuteProcess passes: the path's file-name part, then
// each argument after one blank, quoted where needed.
std::u16string BuildCommandLine(std::u16string_view path,
                                const std::vector<std::u16string>& arguments);

// The wait ExecuteProcess allows for waitSeconds, in unsigned 32-bit
// arithmetic: 4294967295 s (callers' "no practical limit") gives
// 4294966296 ms, about 49.7 days.
std::uint32_t ProcessWaitMilliseconds(std::uint32_t waitSeconds);
