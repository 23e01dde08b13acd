// The start-up wait's view of Windows: command line, SHIFT key, processes,
// tick count.
#pragma once

#include "app/startup_wait.h"

class WindowsStartupEnvironment : public StartupEnvironment {
 public:
  std::vector<std::u16string> CommandLineArguments() override;
  bool IsShiftHeld() override;
  bool IsProcessRunning(std::u16string_view name) override;
  std::uint64_t TickCountMs() override;
  void SleepMs(std::uint32_t ms) override;
};
