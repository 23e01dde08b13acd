// What the rules see of the foreground window: its program, and whether
// program rules may act on it.
#pragma once

#include <string>
#include <string_view>

#include "rules/desktop.h"

struct ForegroundInfo {
  WindowId window = 0;  // 0: no foreground window
  // The file name as the process list reports it; empty when unknown.
  std::u16string fileName;
  // The executable's full path with "/" turned into "\"; empty when the
  // process cannot be read.
  std::u16string fullPath;
  // Program rules may match the window: it exists, it is not ours, and it is
  // neither a Windows-folder program nor the shell or the logon screen.
  bool valid = false;
  // Valid, visible and not minimised.
  bool usable = false;
};

// Inspects the window the system reports in the foreground. The Windows
// folder ends with one backslash.
ForegroundInfo InspectForeground(Desktop& desktop, WindowId window,
                                 std::u16string_view windowsFolder);
