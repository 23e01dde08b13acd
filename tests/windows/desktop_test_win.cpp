#include "rules/desktop_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/wide_win.h"
#include "config/folders.h"
#include "rules/foreground.h"
#include "rules/path_helpers.h"
#include "test_support_win.h"

namespace {

std::u16string OwnPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return FromWide(std::wstring_view(path, length));
}

template <typename T>
bool Contains(const std::vector<T>& list, const T& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

WindowId ToId(HWND window) {
  return reinterpret_cast<WindowId>(window);
}

// A top-level window of this process, destroyed with the object.
class TestWindow {
 public:
  TestWindow(DWORD style, int x, int y, int width, int height) {
    static const ATOM windowClass = [] {
      WNDCLASSW description{};
      description.lpfnWndProc = DefWindowProcW;
      description.hInstance = GetModuleHandleW(nullptr);
      description.lpszClassName = L"VtDesktopTestWindow";
      return RegisterClassW(&description);
    }();
    window_ = CreateWindowExW(0, MAKEINTATOM(windowClass), L"desktop test", style, x, y, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~TestWindow() {
    if (window_) {
      DestroyWindow(window_);
    }
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND handle() const { return window_; }
  WindowId id() const { return ToId(window_); }

 private:
  HWND window_ = nullptr;
};

// The first visible top-level window of the process, or 0.
WindowId VisibleWindowOf(Win32Desktop& desktop, DWORD processId) {
  for (const WindowId window : desktop.ListVisibleWindows()) {
    if (desktop.WindowProcessId(window) == processId) {
      return window;
    }
  }
  return 0;
}

}  // namespace

TEST(Win32DesktopTest, ProcessQueriesOnThisProcess) {
  Win32Desktop desktop;
  const DWORD self = GetCurrentProcessId();
  const std::u16string ownPath = OwnPath();

  EXPECT_EQ(desktop.ProcessFullPath(self), ownPath);
  EXPECT_TRUE(EqualsNoCase(desktop.ProcessFileName(self), GetFileNamePart(ownPath)));
  EXPECT_TRUE(Contains(desktop.ListProcessIds(), std::uint32_t{self}));
  EXPECT_TRUE(Contains(desktop.ListProcessFullPaths(), ownPath));
  EXPECT_TRUE(Contains(desktop.ListProcessFileNames(), desktop.ProcessFileName(self)));

  const std::vector<std::u16string> modules = desktop.ListProcessModules(self);
  ASSERT_FALSE(modules.empty());
  EXPECT_EQ(modules.front(), ownPath) << "the executable comes first";
  EXPECT_TRUE(std::any_of(modules.begin(), modules.end(), [](const std::u16string& path) {
    return EqualsNoCase(GetFileNamePart(path), u"kernel32.dll");
  }));
}

TEST(Win32DesktopTest, ProcessesThatCannotBeReadGiveNothing) {
  Win32Desktop desktop;
  // Process ids are multiples of four; this one is not in use.
  const std::uint32_t noProcess = 0xFFFFFFF0;
  for (const std::uint32_t processId : {std::uint32_t{0}, noProcess}) {
    EXPECT_EQ(desktop.ProcessFullPath(processId), u"") << processId;
    EXPECT_TRUE(desktop.ListProcessModules(processId).empty()) << processId;
  }
  EXPECT_EQ(desktop.ProcessFileName(noProcess), u"");
  EXPECT_EQ(desktop.WindowProcessId(0), 0u);
}

TEST(Win32DesktopTest, WindowsOfThisProcess) {
  Win32Desktop desktop;
  TestWindow shown(WS_POPUP | WS_VISIBLE, 10, 10, 200, 100);
  TestWindow hidden(WS_POPUP, 20, 20, 200, 100);
  TestWindow minimised(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE, 30, 30, 200, 100);
  ASSERT_TRUE(shown.handle() && hidden.handle() && minimised.handle());
  ASSERT_TRUE(desktop.IsIconic(minimised.id()));
  ASSERT_FALSE(desktop.IsWindowVisible(hidden.id()));

  const std::vector<WindowId> own = desktop.ListOwnProcessWindows();
  const std::vector<WindowId> visible = desktop.ListVisibleWindows();
  for (const TestWindow* window : {&shown, &hidden, &minimised}) {
    EXPECT_TRUE(Contains(own, window->id()));
    EXPECT_TRUE(desktop.IsOwnWindow(window->id()));
    EXPECT_EQ(desktop.WindowProcessId(window->id()), GetCurrentProcessId());
    EXPECT_EQ(Contains(visible, window->id()), window == &shown);
  }
  const WindowId desktopWindow = ToId(GetDesktopWindow());
  EXPECT_FALSE(Contains(own, desktopWindow));
  EXPECT_FALSE(Contains(visible, desktopWindow));
  EXPECT_FALSE(desktop.IsOwnWindow(desktopWindow));
  EXPECT_FALSE(desktop.IsOwnWindow(0));

  const WindowId gone = shown.id();
  DestroyWindow(shown.handle());
  EXPECT_FALSE(desktop.IsWindow(gone));
  EXPECT_FALSE(desktop.IsOwnWindow(gone));
}

TEST(Win32DesktopTest, WindowEnumerationStopsAt256) {
  Win32Desktop desktop;
  std::vector<std::unique_ptr<TestWindow>> windows;
  for (int i = 0; i < 300; ++i) {
    windows.push_back(std::make_unique<TestWindow>(WS_POPUP, 0, 0, 10, 10));
    ASSERT_TRUE(windows.back()->handle());
  }
  EXPECT_EQ(desktop.ListOwnProcessWindows().size(), Win32Desktop::kMaxWindows);
}

TEST(Win32DesktopTest, WindowOfAnotherProgram) {
  Win32Desktop desktop;
  // A system program whose window stays until it is closed.
  ChildProcess winver(std::wstring(AsWide(WindowsFolder())) + L"system32\\winver.exe");
  ASSERT_TRUE(winver.started());
  WindowId window = 0;
  ASSERT_TRUE(
      WaitUntil([&] { return (window = VisibleWindowOf(desktop, winver.id())) != 0; }, 10000));

  EXPECT_FALSE(desktop.IsOwnWindow(window));
  EXPECT_FALSE(Contains(desktop.ListOwnProcessWindows(), window));
  const ForegroundInfo info = InspectForeground(desktop, window, WindowsFolder());
  EXPECT_TRUE(EqualsNoCase(info.fileName, u"winver.exe"));
  EXPECT_TRUE(StartsWithNoCase(info.fullPath, WindowsFolder())) << Utf16ToUtf8(info.fullPath);
  EXPECT_FALSE(info.valid) << "programs of the Windows folder are ignored";
}

TEST(Win32DesktopTest, ForegroundWindowOfThisProcessIsNotValid) {
  Win32Desktop desktop;
  TestWindow window(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200);
  SetForegroundWindow(window.handle());
  ASSERT_TRUE(WaitUntil([&] { return desktop.ForegroundWindow() == window.id(); }, 5000));

  const ForegroundInfo info =
      InspectForeground(desktop, desktop.ForegroundWindow(), WindowsFolder());
  EXPECT_EQ(info.fullPath, OwnPath());
  EXPECT_TRUE(EqualsNoCase(info.fileName, GetFileNamePart(OwnPath())));
  EXPECT_FALSE(info.valid);
  EXPECT_FALSE(info.usable);
}

TEST(Win32DesktopTest, WindowAndClientRectangles) {
  Win32Desktop desktop;
  TestWindow popup(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  TestWindow framed(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50);
  for (const TestWindow* window : {&popup, &framed}) {
    ASSERT_TRUE(
        SetWindowPos(window->handle(), nullptr, 100, 120, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE));
  }
  const ScreenRect placed{100, 120, 500, 420};
  EXPECT_EQ(desktop.WindowRect(popup.id()), placed);
  EXPECT_EQ(desktop.ClientRectOnScreen(popup.id()), placed) << "a popup is all client area";

  EXPECT_EQ(desktop.WindowRect(framed.id()), placed);
  const std::optional<ScreenRect> client = desktop.ClientRectOnScreen(framed.id());
  ASSERT_TRUE(client);
  EXPECT_GT(client->top, placed.top) << "below the caption, in screen coordinates";
  EXPECT_GE(client->left, placed.left);
  EXPECT_LE(client->right, placed.right);
  EXPECT_LE(client->bottom, placed.bottom);

  const WindowId gone = popup.id();
  DestroyWindow(popup.handle());
  EXPECT_FALSE(desktop.WindowRect(gone));
  EXPECT_FALSE(desktop.ClientRectOnScreen(gone));
}

TEST(Win32DesktopTest, MonitorNearAPointIsTheWholeScreen) {
  Win32Desktop desktop;
  const ScreenRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  ASSERT_GT(screen.right, 0);
  EXPECT_EQ(desktop.MonitorRectNear(0, 0), screen) << "the monitor, not its work area";
  if (GetSystemMetrics(SM_CMONITORS) == 1) {
    EXPECT_EQ(desktop.MonitorRectNear(-50000, 99999), screen) << "the nearest monitor";
  }
}
