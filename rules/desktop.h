// The rules' view of the desktop: the foreground window, the running
// processes, windows, monitors and loaded modules. The Win32 implementation
// queries the system; tests script a desktop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A window handle as a number; 0 stands for none.
using WindowId = std::uintptr_t;

// Screen rectangle; right and bottom lie outside it.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual WindowId ForegroundWindow() = 0;
  // The process of a window; 0 when it yields none.
  virtual std::uint32_t WindowProcessId(WindowId window) = 0;
  // The file name of a process as the process snapshot reports it.
  virtual std::u16string ProcessFileName(std::uint32_t processId) = 0;
  // The full path of a process's executable; empty when it cannot be read.
  virtual std::u16string ProcessFullPath(std::uint32_t processId) = 0;
  // Whether the window belongs to this program (any window of its process).
  virtual bool IsOwnWindow(WindowId window) = 0;
  virtual bool IsWindow(WindowId window) = 0;
  virtual bool IsWindowVisible(WindowId window) = 0;
  virtual bool IsIconic(WindowId window) = 0;

  // The ids of all processes; empty when the enumeration fails.
  virtual std::vector<std::uint32_t> ListProcessIds() = 0;
  // The top-level windows a user sees, in enumeration order: not the
  // desktop, not minimised, their own root, visible and not child-styled.
  virtual std::vector<WindowId> ListVisibleWindows() = 0;
  // The window's title text.
  virtual std::u16string WindowText(WindowId window) = 0;
  // The file names of all processes, in snapshot order, empty ones included.
  virtual std::vector<std::u16string> ListProcessFileNames() = 0;
  // The readable full paths of all processes, in process-id order.
  virtual std::vector<std::u16string> ListProcessFullPaths() = 0;
  // The paths of the modules a process has loaded (empty when it cannot be
  // opened).
  virtual std::vector<std::u16string> ListProcessModules(std::uint32_t processId) = 0;

  // The window rectangle, and the client area in screen coordinates.
  virtual std::optional<ScreenRect> WindowRect(WindowId window) = 0;
  virtual std::optional<ScreenRect> ClientRectOnScreen(WindowId window) = 0;
  // The rectangle of the monitor nearest to the point (not its work area).
  virtual std::optional<ScreenRect> MonitorRectNear(std::int32_t x, std::int32_t y) = 0;
};
