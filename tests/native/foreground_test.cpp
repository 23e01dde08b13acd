#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_desktop.h"
#include "rules/foreground.h"
#include "rules/path_helpers.h"
#include "rules/recent_foreground.h"

namespace {

struct PathCase {
  std::u16string path;
  std::u16string fileName;
  std::u16string extension;
};

TEST(PathHelpersTest, FileNameAndExtension) {
  const std::vector<PathCase> cases = {
      {u"D:\\Games\\app.exe", u"app.exe", u"exe"},
      {u"D:/Games/app.exe", u"app.exe", u"exe"},
      {u"D:\\Games/sub\\app.exe", u"app.exe", u"exe"},
      {u"app.exe", u"app.exe", u"exe"},
      {u"D:\\Games\\", u"", u""},
      {u"D:\\Games\\README", u"README", u""},
      // The dot is searched in the whole text.
      {u"D:\\Tools.new\\run", u"run", u"new\\run"},
      {u"D:\\Games\\archive.tar.gz", u"archive.tar.gz", u"gz"},
      {u"D:\\Games\\trailing.", u"trailing.", u""},
      {u"", u"", u""},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(GetFileNamePart(c.path), c.fileName);
    EXPECT_EQ(GetExtension(c.path), c.extension);
  }
}

constexpr std::uint32_t kOwnProcess = 1;
constexpr std::uint32_t kOtherProcess = 42;
constexpr WindowId kWindow = 0x1000;
const std::u16string kWindowsFolder = u"D:\\Windows\\";

enum class WindowState { kOrdinary, kMinimised, kHidden, kOwn };

struct ForegroundCase {
  const char* name;
  std::u16string fileName;
  std::u16string fullPath;  // as the process query reports it
  WindowState state;
  bool valid;
  bool usable;
};

TEST(InspectForegroundTest, ValidAndUsable) {
  using enum WindowState;
  const std::vector<ForegroundCase> cases = {
      {"ordinary program", u"game.exe", u"D:\\Games\\game.exe", kOrdinary, true, true},
      {"unreadable path", u"game.exe", u"", kOrdinary, true, true},
      {"minimised", u"game.exe", u"D:\\Games\\game.exe", kMinimised, true, false},
      {"hidden", u"game.exe", u"D:\\Games\\game.exe", kHidden, true, false},
      {"own window", u"Vantreloquin.exe", u"D:\\Tools\\Vantreloquin.exe", kOwn, false, false},
      {"Windows-folder program", u"notepad.exe", u"D:\\Windows\\System32\\notepad.exe", kOrdinary,
       false, false},
      {"Windows-folder library, other case", u"host.DLL", u"d:\\WINDOWS\\system32\\host.DLL",
       kOrdinary, false, false},
      {"Windows-folder path with slashes", u"notepad.exe", u"D:/Windows/notepad.exe", kOrdinary,
       false, false},
      {"screen saver in the Windows folder", u"Mystify.scr", u"D:\\Windows\\System32\\Mystify.scr",
       kOrdinary, true, true},
      {"folder that only begins like the Windows folder", u"app.exe", u"D:\\WindowsApps\\app.exe",
       kOrdinary, true, true},
      {"shell by path", u"explorer.exe", u"D:\\Windows\\explorer.exe", kOrdinary, false, false},
      {"shell by name only", u"Explorer.EXE", u"", kOrdinary, false, false},
      {"shell name elsewhere", u"explorer.exe", u"D:\\Tools\\explorer.exe", kOrdinary, false,
       false},
      {"logon screen", u"LogonUI.exe", u"", kOrdinary, false, false},
  };
  for (const ForegroundCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    desktop.ownProcessId = kOwnProcess;
    const std::uint32_t processId = c.state == kOwn ? kOwnProcess : kOtherProcess;
    desktop.processes.push_back({processId, c.fileName, c.fullPath, {}});
    desktop.windows[kWindow] = {processId, c.state != kHidden, c.state == kMinimised, std::nullopt,
                                std::nullopt};
    const ForegroundInfo info = InspectForeground(desktop, kWindow, kWindowsFolder);
    EXPECT_EQ(info.window, kWindow);
    EXPECT_EQ(info.fileName, c.fileName);
    EXPECT_EQ(info.valid, c.valid);
    EXPECT_EQ(info.usable, c.usable);
  }
}

TEST(InspectForegroundTest, FullPathUsesBackslashes) {
  FakeDesktop desktop;
  desktop.processes.push_back({kOtherProcess, u"game.exe", u"D:/Games/x64/game.exe", {}});
  desktop.windows[kWindow] = {kOtherProcess, true, false, std::nullopt, std::nullopt};
  const ForegroundInfo info = InspectForeground(desktop, kWindow, kWindowsFolder);
  EXPECT_EQ(info.fullPath, u"D:\\Games\\x64\\game.exe");
  EXPECT_TRUE(info.usable);
}

TEST(InspectForegroundTest, NoWindowOrNoProcessLeavesNamesEmpty) {
  FakeDesktop desktop;
  // The snapshot lists the idle process under id 0; it belongs to no window.
  desktop.processes.push_back({0, u"[System Process]", u"D:\\idle.exe", {}});
  desktop.windows[kWindow] = {0, true, false, std::nullopt, std::nullopt};
  for (const WindowId window : {WindowId{0}, kWindow}) {
    const ForegroundInfo info = InspectForeground(desktop, window, kWindowsFolder);
    EXPECT_EQ(info.window, window);
    EXPECT_EQ(info.fileName, u"");
    EXPECT_EQ(info.fullPath, u"");
    EXPECT_EQ(info.valid, window != 0) << "a window without a process is still a window";
    EXPECT_EQ(info.usable, info.valid);
  }
}

TEST(RecentForegroundTest, NameSeenAgainMovesToFrontWithItsLatestCase) {
  RecentForegroundHistory history;
  history.AddRecentForeground(u"D:\\A\\x.exe");
  history.AddRecentForeground(u"D:\\B\\y.exe");
  history.AddRecentForeground(u" \td:\\a\\X.EXE\t ");
  EXPECT_EQ(history.SnapshotRecentForeground(),
            (std::vector<std::u16string>{u"d:\\a\\X.EXE", u"D:\\B\\y.exe"}));
}

TEST(RecentForegroundTest, KeepsTheThirtyMostRecentAndIgnoresBlanks) {
  RecentForegroundHistory history;
  std::vector<std::u16string> expected;
  for (int i = 0; i < 31; ++i) {
    const std::u16string name = u"D:\\P\\p" + std::u16string(1, char16_t(u'A' + i)) + u".exe";
    history.AddRecentForeground(name);
    expected.insert(expected.begin(), name);
  }
  expected.pop_back();
  EXPECT_EQ(history.SnapshotRecentForeground(), expected);

  for (const std::u16string blank : {u"", u"  ", u"\t \t"}) {
    history.AddRecentForeground(blank);
  }
  EXPECT_EQ(history.SnapshotRecentForeground(), expected);
}

}  // namespace
