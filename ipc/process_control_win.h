// Process start and helper liveness on Windows.
#pragma once

#include "ipc/process_control.h"

class Win32ProcessControl : public ProcessControl {
 public:
  // CreateProcessW with the path as the application name; no handles are
  // inherited and the child gets the default error mode.
  std::uint32_t ExecuteProcess(std::u16string_view path,
                               const std::vector<std::u16string>& arguments,
                               std::uint32_t waitSeconds, bool noWindow) override;
  // The window test is IsWindow; the file name comes from a process snapshot.
  bool IsHelperAlive(std::uint32_t processId, std::uint32_t window,
                     std::u16string_view fileName) override;
  // K32EnumProcesses and K32GetModuleFileNameExW; processes this account may
  // not query are left out.
  std::vector<std::u16string> RunningProcessPaths() override;
};
