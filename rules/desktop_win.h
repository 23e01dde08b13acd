// The desktop as Windows reports it. Every query is stateless and may run on
// any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/desktop.h"

class Win32Desktop : public Desktop {
 public:
  // Fixed buffers of the queries: a longer list is cut at these sizes.
  static constexpr std::size_t kMaxWindows = 256;
  static constexpr std::size_t kMaxProcessIds = 10000;
  static constexpr std::size_t kMaxModules = 2048;
  static constexpr std::size_t kPathUnits = 5000;

  WindowId ForegroundWindow() override;
  std::uint32_t WindowProcessId(WindowId window) override;
  // From a Tool Help process snapshot.
  std::u16string ProcessFileName(std::uint32_t processId) override;
  // Needs query and read access to the process: empty for system processes
  // and those of other users.
  std::u16string ProcessFullPath(std::uint32_t processId) override;
  // Whether the window is one of ListOwnProcessWindows.
  bool IsOwnWindow(WindowId window) override;
  bool IsWindow(WindowId window) override;
  bool IsWindowVisible(WindowId window) override;
  bool IsIconic(WindowId window) override;

  std::vector<std::u16string> ListProcessFileNames() override;
  std::vector<std::u16string> ListProcessFullPaths() override;
  // All modules (32- and 64-bit) of the process, the first kMaxModules.
  std::vector<std::u16string> ListProcessModules(std::uint32_t processId) override;

  std::optional<ScreenRect> WindowRect(WindowId window) override;
  std::optional<ScreenRect> ClientRectOnScreen(WindowId window) override;
  std::optional<ScreenRect> MonitorRectNear(std::int32_t x, std::int32_t y) override;

  std::vector<std::uint32_t> ListProcessIds() override;
  std::vector<WindowId> ListVisibleWindows() override;
  std::u16string WindowText(WindowId window) override;
  // Every top-level window of this process but the desktop.
  std::vector<WindowId> ListOwnProcessWindows();
};
