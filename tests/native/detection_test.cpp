#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "fakes/log_capture.h"
#include "rules/desktop.h"
#include "rules/fullscreen.h"
#include "rules/three_d.h"
#include "rules/wildcard.h"

namespace {

// A desktop of scripted windows, monitors and module lists; it counts the
// module-list queries and remembers the last monitor query.
class ScriptedDesktop : public Desktop {
 public:
  struct Window {
    std::optional<ScreenRect> windowRect;
    std::optional<ScreenRect> clientRect;
    std::uint32_t processId = 0;
  };

  std::map<WindowId, Window> windows;
  std::vector<ScreenRect> monitors;
  bool monitorQueryFails = false;
  std::map<std::uint32_t, std::vector<std::u16string>> modules;

  int moduleQueries = 0;
  std::optional<std::pair<std::int32_t, std::int32_t>> lastMonitorPoint;

  WindowId ForegroundWindow() override { return 0; }
  std::uint32_t WindowProcessId(WindowId window) override {
    const auto it = windows.find(window);
    return it == windows.end() ? 0 : it->second.processId;
  }
  std::u16string ProcessFileName(std::uint32_t) override { return {}; }
  std::u16string ProcessFullPath(std::uint32_t) override { return {}; }
  bool IsOwnWindow(WindowId) override { return false; }
  bool IsWindow(WindowId window) override { return windows.contains(window); }
  bool IsWindowVisible(WindowId window) override { return IsWindow(window); }
  bool IsIconic(WindowId) override { return false; }
  std::vector<std::uint32_t> ListProcessIds() override { return {}; }
  std::vector<WindowId> ListVisibleWindows() override { return {}; }
  std::u16string WindowText(WindowId) override { return {}; }
  std::vector<std::u16string> ListProcessFileNames() override { return {}; }
  std::vector<std::u16string> ListProcessFullPaths() override { return {}; }
  std::vector<std::u16string> ListProcessModules(std::uint32_t processId) override {
    ++moduleQueries;
    const auto it = modules.find(processId);
    return it == modules.end() ? std::vector<std::u16string>{} : it->second;
  }
  std::optional<ScreenRect> WindowRect(WindowId window) override {
    return windows.at(window).windowRect;
  }
  std::optional<ScreenRect> ClientRectOnScreen(WindowId window) override {
    return windows.at(window).clientRect;
  }
  // The monitor at the smallest distance from the point (0 inside it).
  std::optional<ScreenRect> MonitorRectNear(std::int32_t x, std::int32_t y) override {
    lastMonitorPoint = {x, y};
    if (monitorQueryFails || monitors.empty()) {
      return std::nullopt;
    }
    const auto distance = [&](const ScreenRect& m) {
      const std::int64_t dx = x < m.left ? m.left - x : (x >= m.right ? x - m.right + 1 : 0);
      const std::int64_t dy = y < m.top ? m.top - y : (y >= m.bottom ? y - m.bottom + 1 : 0);
      return dx * dx + dy * dy;
    };
    const ScreenRect* best = &monitors.front();
    for (const ScreenRect& m : monitors) {
      if (distance(m) < distance(*best)) {
        best = &m;
      }
    }
    return *best;
  }
};

constexpr WindowId kWindow = 0x1234;
constexpr ScreenRect kPrimary{0, 0, 1920, 1080};
constexpr ScreenRect kSecondary{-1920, 200, 0, 1280};

}  // namespace

// --- Wildcard matcher ---

TEST(WildcardTest, CompileCutsLiteralsAndCollapsesAsterisks) {
  struct Case {
    std::u16string pattern;
    std::vector<std::u16string> tokens;
  };
  const std::vector<Case> cases = {
      {u"", {}},
      {u"abc", {u"abc"}},
      {u"OpenGL*.dll", {u"OpenGL", u"", u".dll"}},
      {u"***", {u""}},
      {u"**a***b**", {u"", u"a", u"", u"b", u""}},
      {u"a*", {u"a", u""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompilePattern(c.pattern).tokens, c.tokens) << Utf16ToUtf8(c.pattern);
  }
}

TEST(WildcardTest, MatchesWholeTextIgnoringAsciiCase) {
  struct Case {
    std::u16string pattern;
    std::u16string text;
    bool matches;
  };
  const std::vector<Case> cases = {
      {u"d3d*.dll", u"d3d9.dll", true},
      {u"d3d*.dll", u"D3D11.DLL", true},
      {u"d3d*.dll", u"d3dcompiler_47.dll", true},
      {u"d3d*.dll", u"d3d9.dll.mui", false},
      {u"d3d*.dll", u"xd3d9.dll", false},
      {u"Vulkan-*.dll", u"vulkan-1.dll", true},
      {u"Vulkan-*.dll", u"vulkan.dll", false},
      {u"*game*", u"D:\\Games\\My Game\\game.exe", true},
      {u"*game*", u"D:\\Tools\\run.exe", false},
      {u"*GAME*", u"d:\\games\\run.exe", true},
      {u"*.exe", u"C:\\a.EXE", true},
      {u"*.exe", u".exe", true},
      {u"*.exe", u"C:\\a.exe.bak", false},
      {u"*", u"", true},
      {u"*", u"anything", true},
      // A literal after the last marker is only checked against the end.
      {u"ab*b", u"ab", true},
      {u"ab*b", u"a", false},
      {u"abc", u"ABC", true},
      {u"abc", u"abcd", false},
      {u"abc", u"ab", false},
      {u"", u"", true},
      {u"", u"a", false},
      // The middle literal is searched from where the previous one ended.
      {u"a*b*c", u"axxbyyc", true},
      {u"a*b*c", u"acb", false},
      {u"*ab*c*", u"xxaxabyc", true},
      {u"a*b*", u"a", false},
      {u"a**.dll", u"a.dll", true},
      // Only A-Z fold.
      {u"\u00e9*", u"\u00c9t\u00e9", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchPattern(CompilePattern(c.pattern), c.text), c.matches)
        << Utf16ToUtf8(c.pattern) << " vs " << Utf16ToUtf8(c.text);
    // The scanner's fast form on texts folded beforehand gives the same answers.
    EXPECT_EQ(MatchFoldedPattern(CompilePattern(ToLowerAscii(c.pattern)), ToLowerAscii(c.text)),
              c.matches)
        << "folded: " << Utf16ToUtf8(c.pattern) << " vs " << Utf16ToUtf8(c.text);
  }
}

// --- Full-screen test ---

TEST(FullscreenTest, EdgesMustLieNearTheNearestMonitor) {
  struct Case {
    const char* name;
    std::optional<ScreenRect> windowRect;
    std::optional<ScreenRect> clientRect;
    bool fullscreen;
  };
  const std::vector<Case> cases = {
      {"borderless exact", kPrimary, kPrimary, true},
      {"client exact, larger frame", ScreenRect{-8, -31, 1928, 1088}, kPrimary, true},
      {"20 px short on the right", kPrimary, ScreenRect{0, 0, 1900, 1080}, false},
      {"8 px in on every side", kPrimary, ScreenRect{8, 8, 1912, 1072}, true},
      {"9 px in on the left", kPrimary, ScreenRect{9, 0, 1920, 1080}, false},
      {"30 px out on every side but the top", kPrimary, ScreenRect{-30, 0, 1950, 1110}, true},
      {"31 px out at the bottom", kPrimary, ScreenRect{0, 0, 1920, 1111}, false},
      {"top 100 px above", kPrimary, ScreenRect{0, -100, 1920, 1080}, true},
      {"top 110 px above", kPrimary, ScreenRect{0, -110, 1920, 1080}, true},
      {"top 120 px above", kPrimary, ScreenRect{0, -120, 1920, 1080}, false},
      {"second monitor exact", kSecondary, kSecondary, true},
      {"spanning both monitors", ScreenRect{-1920, 0, 1920, 1280}, ScreenRect{-1920, 0, 1920, 1280},
       false},
      {"client unreadable, window rect used", kPrimary, std::nullopt, true},
      {"client unreadable, small window", ScreenRect{100, 100, 800, 600}, std::nullopt, false},
      {"client reads as (0,0,1,1), window rect used", kPrimary, ScreenRect{0, 0, 1, 1}, true},
      {"window unreadable, client used", std::nullopt, kPrimary, true},
      {"both unreadable", std::nullopt, std::nullopt, false},
  };
  for (const Case& c : cases) {
    ScriptedDesktop desktop;
    desktop.monitors = {kPrimary, kSecondary};
    desktop.windows[kWindow] = {c.windowRect, c.clientRect, 1};
    EXPECT_EQ(IsFullscreenWindow(desktop, kWindow, u"game.exe"), c.fullscreen) << c.name;
  }
}

TEST(FullscreenTest, UnsetRectanglesNeverCountAsCoveringATinyMonitor) {
  // A 1x1 monitor at the origin would be "covered" by the (0,0,1,1) rectangle
  // that stands for an unread one.
  struct Case {
    const char* name;
    std::optional<ScreenRect> windowRect;
    std::optional<ScreenRect> clientRect;
  };
  const std::vector<Case> cases = {
      {"window (0,0,1,1), client unreadable", ScreenRect{0, 0, 1, 1}, std::nullopt},
      {"both (0,0,1,1)", ScreenRect{0, 0, 1, 1}, ScreenRect{0, 0, 1, 1}},
      {"both unreadable", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    ScriptedDesktop desktop;
    desktop.monitors = {ScreenRect{0, 0, 1, 1}};
    desktop.windows[kWindow] = {c.windowRect, c.clientRect, 1};
    EXPECT_FALSE(IsFullscreenWindow(desktop, kWindow, u"game.exe")) << c.name;
  }
}

TEST(FullscreenTest, AsksForTheMonitorNearestTheCentre) {
  struct Case {
    ScreenRect rect;
    std::pair<std::int32_t, std::int32_t> centre;
  };
  const std::vector<Case> cases = {
      {kSecondary, {-960, 740}},
      {ScreenRect{-3, -3, 0, 0}, {-2, -2}},
      // An inverted rectangle: the halved size truncates toward zero.
      {ScreenRect{10, 10, 5, 5}, {8, 8}},
  };
  for (const Case& c : cases) {
    ScriptedDesktop desktop;
    desktop.monitors = {kPrimary};
    desktop.windows[kWindow] = {c.rect, c.rect, 1};
    IsFullscreenWindow(desktop, kWindow, u"game.exe");
    EXPECT_EQ(desktop.lastMonitorPoint, c.centre);
  }
}

TEST(FullscreenTest, NoWindowIsNotFullscreen) {
  ScriptedDesktop desktop;
  desktop.monitors = {kPrimary};
  EXPECT_FALSE(IsFullscreenWindow(desktop, 0, u"game.exe"));
  EXPECT_FALSE(IsFullscreenWindow(desktop, kWindow, u"game.exe"));  // not a window
  EXPECT_FALSE(desktop.lastMonitorPoint.has_value());
}

TEST(FullscreenTest, FailedMonitorQueryLogsAndAnswersNo) {
  LogCapture log;
  ScriptedDesktop desktop;
  desktop.monitors = {kPrimary};
  desktop.monitorQueryFails = true;
  desktop.windows[kWindow] = {kPrimary, kPrimary, 1};
  EXPECT_FALSE(IsFullscreenWindow(desktop, kWindow, u"My Game.exe"));
  EXPECT_EQ(log.Texts(), std::vector<std::u16string>{
                             u"ERROR: Failed to query closest monitor -- \"My Game.exe\""});
}

// --- 3D test and its cache ---

TEST(ThreeDTest, LooksForGraphicsLibrariesAmongTheModules) {
  struct Case {
    const char* name;
    std::vector<std::u16string> modules;
    bool threeD;
  };
  const std::vector<Case> cases = {
      {"OpenGL",
       {u"C:\\Games\\game.exe", u"C:\\Windows\\System32\\kernel32.dll",
        u"C:\\Windows\\System32\\opengl32.dll"},
       true},
      {"Direct3D 11", {u"C:\\Games\\game.exe", u"C:\\Windows\\System32\\D3D11.DLL"}, true},
      {"Direct2D", {u"C:\\Windows\\System32\\d2d1.dll"}, true},
      {"Vulkan, forward slashes", {u"C:/Windows/System32/vulkan-1.dll"}, true},
      {"Mantle", {u"C:\\Windows\\System32\\Mantle64.dll"}, true},
      {"Mantle 32-bit", {u"C:\\Windows\\SysWOW64\\mantle32.dll"}, true},
      {"name padded with blanks", {u"C:\\Windows\\System32\\ \td3d9.dll\t "}, true},
      {"plain program",
       {u"C:\\Tools\\edit.exe", u"C:\\Windows\\System32\\kernel32.dll",
        u"C:\\Windows\\System32\\user32.dll"},
       false},
      {"library names only in the folder", {u"C:\\d3d9.dll\\plain.dll"}, false},
      {"similar but no match",
       {u"C:\\x\\vulkan.dll", u"C:\\x\\d3d9.dll.mui", u"C:\\x\\Mantle.dll"},
       false},
      {"no readable modules", {}, false},
  };
  for (const Case& c : cases) {
    ScriptedDesktop desktop;
    desktop.modules[7] = c.modules;
    EXPECT_EQ(IsThreeDProcess(desktop, 7), c.threeD) << c.name;
  }
}

TEST(ThreeDTest, CacheReusesAnAnswerFifteenTimesForTheSameWindow) {
  ScriptedDesktop desktop;
  desktop.windows[kWindow] = {kPrimary, kPrimary, 7};
  desktop.modules[7] = {u"C:\\Windows\\System32\\d3d11.dll"};
  ThreeDCache cache;

  EXPECT_TRUE(cache.QueryThreeD(desktop, kWindow));
  EXPECT_EQ(desktop.moduleQueries, 1);

  // The process drops the library: the cached answer stays for 15 more
  // consultations, the 16th tests again.
  desktop.modules[7] = {u"C:\\Windows\\System32\\kernel32.dll"};
  for (int i = 0; i < 15; ++i) {
    EXPECT_TRUE(cache.QueryThreeD(desktop, kWindow)) << i;
  }
  EXPECT_EQ(desktop.moduleQueries, 1);
  EXPECT_FALSE(cache.QueryThreeD(desktop, kWindow));
  EXPECT_EQ(desktop.moduleQueries, 2);

  // And the cycle starts over.
  for (int i = 0; i < 15; ++i) {
    cache.QueryThreeD(desktop, kWindow);
  }
  EXPECT_EQ(desktop.moduleQueries, 2);
  cache.QueryThreeD(desktop, kWindow);
  EXPECT_EQ(desktop.moduleQueries, 3);
}

TEST(ThreeDTest, CacheTestsANewWindowAtOnce) {
  constexpr WindowId kOther = 0x5678;
  ScriptedDesktop desktop;
  desktop.windows[kWindow] = {kPrimary, kPrimary, 7};
  desktop.windows[kOther] = {kPrimary, kPrimary, 8};
  desktop.modules[7] = {u"C:\\Windows\\System32\\opengl32.dll"};
  desktop.modules[8] = {u"C:\\Windows\\System32\\kernel32.dll"};
  ThreeDCache cache;

  EXPECT_TRUE(cache.QueryThreeD(desktop, kWindow));
  EXPECT_TRUE(cache.QueryThreeD(desktop, kWindow));
  EXPECT_FALSE(cache.QueryThreeD(desktop, kOther));
  EXPECT_EQ(desktop.moduleQueries, 2);
  // Back to the first window: a fresh test, and its count starts from zero.
  EXPECT_TRUE(cache.QueryThreeD(desktop, kWindow));
  EXPECT_EQ(desktop.moduleQueries, 3);
  for (int i = 0; i < 15; ++i) {
    cache.QueryThreeD(desktop, kWindow);
  }
  EXPECT_EQ(desktop.moduleQueries, 3);
}

TEST(ThreeDTest, CacheAnswersNoWithoutAProcess) {
  constexpr WindowId kOrphan = 0x9abc;
  ScriptedDesktop desktop;
  desktop.windows[kOrphan] = {kPrimary, kPrimary, 0};
  ThreeDCache cache;
  EXPECT_FALSE(cache.QueryThreeD(desktop, kOrphan));
  EXPECT_FALSE(cache.QueryThreeD(desktop, 0));
  EXPECT_EQ(desktop.moduleQueries, 0);
}
