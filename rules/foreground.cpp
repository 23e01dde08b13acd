#include "rules/foreground.h"

#include <cstdint>

#include "base/text.h"
#include "rules/path_helpers.h"

namespace {

bool IsIgnoredForeground(Desktop& desktop, const ForegroundInfo& info,
                         std::u16string_view windowsFolder) {
  if (info.window == 0 || desktop.IsOwnWindow(info.window)) {
    return true;
  }
  // Programs of the Windows folder and below are ignored, other files there
  // (screen savers) are not.
  if (StartsWithNoCase(info.fullPath, windowsFolder)) {
    const std::u16string extension = GetExtension(info.fullPath);
    if (EqualsNoCase(extension, u"exe") || EqualsNoCase(extension, u"dll")) {
      return true;
    }
  }
  if (EqualsNoCase(info.fullPath, std::u16string(windowsFolder) + u"explorer.exe")) {
    return true;
  }
  // The shell and the logon screen, also when their path cannot be read.
  return EqualsNoCase(info.fileName, u"explorer.exe") ||
         EqualsNoCase(info.fileName, u"logonui.exe");
}

}  // namespace

ForegroundInfo InspectForeground(Desktop& desktop, WindowId window,
                                 std::u16string_view windowsFolder) {
  ForegroundInfo info;
  info.window = window;
  // Process id 0 is the idle process of the snapshot, not this window's.
  if (const std::uint32_t processId = desktop.WindowProcessId(window); processId != 0) {
    info.fileName = desktop.ProcessFileName(processId);
    info.fullPath = ReplaceAll(desktop.ProcessFullPath(processId), u"/", u"\\");
  }
  info.valid = !IsIgnoredForeground(desktop, info, windowsFolder);
  info.usable = info.valid && desktop.IsWindowVisible(window) && !desktop.IsIconic(window);
  return info;
}
