#include "rules/three_d.h"

#include <array>
#include <string>
#include <vector>

#include "base/text.h"
#include "rules/path_helpers.h"
#include "rules/wildcard.h"

bool IsThreeDProcess(Desktop& desktop, std::uint32_t processId) {
  // Compiled on the first test and kept for the life of the process.
  static const std::array<WildcardPattern, 4> kLibraryPatterns = {
      CompilePattern(u"OpenGL*.dll"),
      CompilePattern(u"d3d*.dll"),
      CompilePattern(u"d2d*.dll"),
      CompilePattern(u"Vulkan-*.dll"),
  };
  for (const std::u16string& path : desktop.ListProcessModules(processId)) {
    const std::u16string name = TrimBlanks(GetFileNamePart(path));
    for (const WildcardPattern& pattern : kLibraryPatterns) {
      if (MatchPattern(pattern, name)) {
        return true;
      }
    }
    if (EqualsNoCase(name, u"Mantle32.dll") || EqualsNoCase(name, u"Mantle64.dll")) {
      return true;
    }
  }
  return false;
}

bool ThreeDCache::QueryThreeD(Desktop& desktop, WindowId window) {
  if (window == lastWindow_ && reuseCount_ < kMaxReuse) {
    ++reuseCount_;
    return lastAnswer_;
  }
  lastWindow_ = window;
  reuseCount_ = 0;
  bool answer = false;
  if (window != 0) {
    if (const std::uint32_t processId = desktop.WindowProcessId(window); processId != 0) {
      answer = IsThreeDProcess(desktop, processId);
    }
  }
  lastAnswer_ = answer;
  return answer;
}
