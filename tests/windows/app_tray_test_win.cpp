// The real Vantreloquin.exe through its tray icon, its menu and its prompts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/wide_win.h"
#include "config/folders.h"
#include "config/general_settings.h"
#include "http_test_server_win.h"
#include "ipc/shared_block_layout.h"
#include "ipc/shared_segment_win.h"
#include "resources/resource_ids.h"
#include "rules/rule.h"
#include "running_app_win.h"
#include "test_support_win.h"

namespace {

constexpr UINT kTrayCallback = 0x800A;
constexpr DWORD kUiWaitMs = 15000;

// The icons of Wine's stand-alone tray window (there is no shell taskbar
// under Xvfb), each a child window showing its image.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  for (HWND child = tray ? GetWindow(tray, GW_CHILD) : nullptr; child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) {
      icons.push_back(child);
    }
  }
  return icons;
}

// How many pixels of the window on screen show the hot orange of the
// clocks-held image.
int OrangePixels(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  HDC screen = GetDC(nullptr);
  int count = 0;
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    for (LONG x = rect.left; x < rect.right; ++x) {
      const COLORREF pixel = GetPixel(screen, x, y);
      count += GetRValue(pixel) > 200 && GetGValue(pixel) > 50 && GetGValue(pixel) < 170 &&
               GetBValue(pixel) < 90;
    }
  }
  ReleaseDC(nullptr, screen);
  return count;
}

HWND WaitForPrompt(RunningApp& app) {
  HWND prompt = nullptr;
  WaitUntil(
      [&] {
        return (prompt = VisibleWindowOf(app.process().id(), L"PROMPT", L"#32770")) != nullptr;
      },
      kUiWaitMs);
  return prompt;
}

std::wstring CaptionOf(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

// Presses a choice of the prompt and waits until the prompt has gone.
void Answer(RunningApp& app, HWND prompt, int choiceId) {
  PostMessageW(GetDlgItem(prompt, choiceId), BM_CLICK, 0, 0);
  WaitUntil([&] { return !VisibleWindowOf(app.process().id(), L"PROMPT", L"#32770"); }, kUiWaitMs);
}

}  // namespace

TEST(AppTrayTest, IconFollowsTheClockStateAndARightClickOpensTheMenu) {
  StoreSettings([](CGeneralSettings_ConfigFile& settings) {
    ASSERT_TRUE(
        AddRule(settings.Rules(), u"window_probe.exe", ActionType::BlockIfForeground, true, 0));
  });
  const std::size_t iconsBefore = TrayIcons().size();
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return TrayIcons().size() == iconsBefore + 1; }, kUiWaitMs));
  HWND icon = TrayIcons().back();
  EXPECT_EQ(OrangePixels(icon), 0) << "the clocks are free";

  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  ASSERT_TRUE(segment.IsOpen());
  ChildProcess probe(ProbeCommandLine(L"window_probe.exe", L"window"));
  ASSERT_TRUE(WaitUntil([&] { return PublishedState(segment.View()) == 0; }, kDecisionTimeoutMs));
  EXPECT_TRUE(WaitUntil([&] { return OrangePixels(icon) > 20; }, 1000))
      << "the held image follows on the next tick";

  PostMessageW(app.controller(), kTrayCallback, 129, WM_RBUTTONUP);
  HWND menuWindow = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] { return (menuWindow = VisibleWindowOf(app.process().id(), L"", L"#32768")) != nullptr; },
      kUiWaitMs));
  PostMessageW(app.controller(), WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return !VisibleWindowOf(app.process().id(), L"", L"#32768"); }, kUiWaitMs));
}

TEST(AppTrayTest, ExitAsksAndYesEndsTheProgramWithZeroAndRemovesTheIcon) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  const std::size_t iconsBefore = TrayIcons().size();
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return TrayIcons().size() == iconsBefore + 1; }, kUiWaitMs));

  PostMessageW(app.controller(), WM_COMMAND, ID_EXIT_PROGRAM, 0);
  HWND prompt = WaitForPrompt(app);
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(CaptionOf(GetDlgItem(prompt, IDC_PROMPT_CHOICE1)), L"No");
  EXPECT_EQ(CaptionOf(GetDlgItem(prompt, IDC_PROMPT_CHOICE2)), L"Yes");
  Answer(app, prompt, IDC_PROMPT_CHOICE1);
  EXPECT_FALSE(app.process().WaitForExit(1000).has_value()) << "No keeps it running";

  PostMessageW(app.controller(), WM_COMMAND, ID_EXIT_PROGRAM, 0);
  prompt = WaitForPrompt(app);
  ASSERT_NE(prompt, nullptr);
  PostMessageW(GetDlgItem(prompt, IDC_PROMPT_CHOICE2), BM_CLICK, 0, 0);
  EXPECT_EQ(app.process().WaitForExit(30000), std::optional<DWORD>(0));
  EXPECT_TRUE(WaitUntil([&] { return TrayIcons().size() == iconsBefore; }, kUiWaitMs));
}

TEST(AppTrayTest, QuickActionReachesTheArchiveWithTheNextSave) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  PostMessageW(app.controller(), WM_COMMAND, ID_QUICK_DEFAULT_BLOCK, 0);
  const auto archivedDefault = [] {
    CGeneralSettings_ConfigFile stored;
    std::u16string message;
    if (!stored.Load(DataFolder() + u"Vantreloquin.arc", message)) {
      return ActionType::Downclock;
    }
    stored.DecodeRules();
    const Rule* rule = FindRule(stored.Rules(), u"DEFAULT");
    return rule ? rule->action : ActionType::Downclock;
  };
  // Saves run every 10 seconds once the timers have started.
  EXPECT_TRUE(WaitUntil([&] { return archivedDefault() == ActionType::Block; }, 30000));
}

TEST(AppTrayTest, CrashTestAnsweredYesLeavesADump) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  const auto dumpsBefore = FilesEndingWith(std::wstring(AsWide(DataFolder())), L".dmp");
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  PostMessageW(app.controller(), WM_COMMAND, ID_CRASH_TEST, 0);
  HWND prompt = WaitForPrompt(app);
  ASSERT_NE(prompt, nullptr);
  PostMessageW(GetDlgItem(prompt, IDC_PROMPT_CHOICE2), BM_CLICK, 0, 0);
  const std::optional<DWORD> exitCode = app.process().WaitForExit(30000);
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_NE(*exitCode, 0u);
  const auto dumps = FilesEndingWith(std::wstring(AsWide(DataFolder())), L".dmp");
  EXPECT_EQ(dumps.size(), dumpsBefore.size() + 1);
}

namespace {

void PressShift(bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_SHIFT;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

}  // namespace

TEST(AppTrayTest, ShiftAtStartTurnsCustomClocksOffAndTrayClicksMeanwhileDoNothing) {
  StoreSettings(
      [](CGeneralSettings_ConfigFile& settings) { settings.bUsingCustomClocks.Set(true); });
  PressShift(true);
  ChildProcess process(AppCommandLine());
  HWND note = nullptr;
  WaitUntil([&] { return (note = VisibleWindowOf(process.id(), L"PROMPT", L"#32770")) != nullptr; },
            kStartTimeoutMs);
  PressShift(false);
  ASSERT_NE(note, nullptr) << "the SHIFT note did not show";

  // The start is not over while the note shows: tray clicks are ignored.
  HWND controller = nullptr;
  for (HWND window : TopLevelWindowsOf(process.id())) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (window != note && std::wstring(name) == L"#32770") {
      controller = window;
    }
  }
  ASSERT_NE(controller, nullptr);
  for (LPARAM mouse : {WM_RBUTTONUP, WM_LBUTTONDBLCLK}) {
    PostMessageW(controller, kTrayCallback, 129, mouse);
  }
  Sleep(1000);
  EXPECT_EQ(VisibleWindowOf(process.id(), L"", L"#32768"), nullptr);
  PostMessageW(GetDlgItem(note, IDC_PROMPT_CHOICE1), BM_CLICK, 0, 0);
  ASSERT_TRUE(
      WaitUntil([&] { return ControllerWindowOf(process.id()) != nullptr; }, kStartTimeoutMs));
  Sleep(500);
  EXPECT_EQ(VisibleWindowOf(process.id(), L"", L"#32768"), nullptr);

  PostMessageW(controller, WM_CLOSE, 0, 0);
  ASSERT_EQ(process.WaitForExit(30000), std::optional<DWORD>(0));
  CGeneralSettings_ConfigFile stored;
  std::u16string message;
  ASSERT_TRUE(stored.Load(DataFolder() + u"Vantreloquin.arc", message));
  EXPECT_FALSE(stored.bUsingCustomClocks.Value());
}

namespace {

// The first descendant of the window that is a button with this caption.
HWND ButtonIn(HWND window, const wchar_t* caption) {
  struct Search {
    const wchar_t* caption;
    HWND found = nullptr;
  } search{caption};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t text[64] = {};
        GetWindowTextW(child, text, 64);
        if (std::wstring(text) == s->caption) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND AwaitWindowOf(RunningApp& app, const wchar_t* title) {
  HWND found = nullptr;
  WaitUntil(
      [&] { return (found = VisibleWindowOf(app.process().id(), title, L"#32770")) != nullptr; },
      kUiWaitMs);
  return found;
}

}  // namespace

TEST(AppSettingsTest, RuleAddedInTheSettingsWindowDecidesAtTheNextScan) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  SharedSegment segment(std::u16string(block::kSegmentName), -1);
  ASSERT_TRUE(segment.IsOpen());

  PostMessageW(app.controller(), WM_COMMAND, ID_SETTINGS, 0);
  HWND settings = AwaitWindowOf(app, L"Vantreloquin Settings");
  ASSERT_NE(settings, nullptr);
  SendMessageW(GetDlgItem(settings, IDC_SETTINGS_TABS), TCM_SETCURFOCUS, 2, 0);
  HWND add = ButtonIn(settings, L"ADD");
  ASSERT_NE(add, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(add) != FALSE; }, kUiWaitMs));
  PostMessageW(add, BM_CLICK, 0, 0);

  HWND edit = AwaitWindowOf(app, L"Create New Rule");
  ASSERT_NE(edit, nullptr);
  SendMessageW(GetDlgItem(edit, IDC_EDIT_RULE_PROGRAM), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"window_probe.exe"));
  PostMessageW(GetDlgItem(edit, IDC_EDIT_RULE_OK), BM_CLICK, 0, 0);
  HWND added = WaitForPrompt(app);
  ASSERT_NE(added, nullptr) << "the confirmation of the new rule";
  Answer(app, added, IDC_PROMPT_CHOICE1);

  ChildProcess probe(ProbeCommandLine(L"window_probe.exe", L"window"));
  ASSERT_TRUE(probe.started());
  EXPECT_TRUE(WaitUntil([&] { return PublishedState(segment.View()) == 0; }, kDecisionTimeoutMs))
      << "the new Block rule holds the clocks";
}

namespace {

// Puts the tests' schtasks.exe in place of Wine's, which knows none of the
// verbs the logon task uses. Wine loads its own built-in program unless the
// prefix's DLL overrides ask for the native one; an override in the
// environment does not reach the processes cmd.exe starts.
void InstallSchtasksStandIn() {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"schtasks_standin.exe").c_str(),
                        (std::wstring(system) + L"\\schtasks.exe").c_str(), FALSE));
  HKEY overrides = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &overrides, nullptr),
            ERROR_SUCCESS);
  const wchar_t native[] = L"native";
  RegSetValueExW(overrides, L"schtasks.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(native),
                 sizeof native);
  RegCloseKey(overrides);
}

std::wstring ReadUtf8Lines(const std::wstring& path) {
  std::string bytes = ReadWholeFile(path);
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
    bytes.erase(0, 3);
  }
  // Text-mode files end their lines with CR LF.
  return std::wstring(AsWide(NormalizeLineBreaks(Utf8ToUtf16(bytes))));
}

}  // namespace

TEST(AppSettingsTest, StartWithWindowsCreatesAndRemovesTheLogonTask) {
  InstallSchtasksStandIn();
  const std::wstring store = MakeScratchFolder(L"schtasks") + L"tasks.txt";
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app(
      {L"WINEDLLOVERRIDES=mscoree,mshtml=;schtasks.exe=n", L"VT_SCHTASKS_STORE=" + store});
  ASSERT_NE(app.controller(), nullptr);
  PostMessageW(app.controller(), WM_COMMAND, ID_SETTINGS, 0);
  HWND settings = AwaitWindowOf(app, L"Vantreloquin Settings");
  ASSERT_NE(settings, nullptr);
  HWND box = ButtonIn(settings, L"Start With Windows");
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(box) != FALSE; }, kUiWaitMs));

  const std::wstring taskName = L"VANTRELOQUIN_x64_1fae4d5451d54aagderhcvnc9a808de0";
  PostMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ReadUtf8Lines(store) == taskName + L"\n"; }, 30000))
      << "the task was created";
  const std::wstring calls = ReadUtf8Lines(store + L".log");
  EXPECT_NE(calls.find(L" /create /tn \"" + taskName + L"\" /tr \"'" + ExecutableFolder() +
                       L"Loader_x64.exe'\" /sc onlogon /RL HIGHEST\n"),
            std::wstring::npos)
      << std::string(calls.begin(), calls.end());

  PostMessageW(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return ReadUtf8Lines(store).empty(); }, 30000))
      << "the task was removed";
  EXPECT_EQ(VisibleWindowOf(app.process().id(), L"PROMPT", L"#32770"), nullptr)
      << "no failure was reported";
}

namespace {

// Copies the program and its helpers into the installation folder, so the
// copy counts as installed.
std::wstring InstallProgramCopy() {
  wchar_t programFiles[MAX_PATH] = {};
  GetEnvironmentVariableW(L"ProgramW6432", programFiles, MAX_PATH);
  const std::wstring folder = std::wstring(programFiles) + L"\\Vantreloquin\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* file : {L"Vantreloquin.exe", L"Vantreloquin_HelperModule.exe",
                              L"Vantreloquin_HelperModule_ADL.exe", L"Loader_x64.exe"}) {
    CopyFileW((ExecutableFolder() + file).c_str(), (folder + file).c_str(), FALSE);
  }
  return folder;
}

}  // namespace

TEST(AppUpdateTest, FullyAutomaticUpdateDownloadsStartsTheInstallerSilentlyAndExits) {
  HttpTestServer server;
  std::string installer = ReadWholeFile(ExecutableFolder() + L"args_probe.exe");
  ASSERT_FALSE(installer.empty());
  installer.resize(std::max<std::size_t>(installer.size(), 300 * 1024), '\0');
  server.Serve("/setup.exe", {200, installer, true, "application/octet-stream"});
  const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
  server.Serve("/Vantreloquin/CurrentVersion.txt",
               {200, "version=9.9-9.9\r\ndate=2026-12-24\r\ndownload=" + base + "/setup.exe\r\n",
                true, "text/plain"});
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring downloads = std::wstring(temp) + L"Vantreloquin_DLXR1883MNL\\";
  DeleteFileW((downloads + L"args.txt").c_str());
  StoreSettings([](CGeneralSettings_ConfigFile&) {});

  const std::wstring folder = InstallProgramCopy();
  ChildProcess app(L"\"" + folder + L"Vantreloquin.exe\"",
                   {L"VANTRELOQUIN_UPDATE_SERVER=" + std::wstring(base.begin(), base.end())});
  ASSERT_TRUE(app.started());
  HWND controller = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (controller = ControllerWindowOf(app.id())) != nullptr; },
                        kStartTimeoutMs));
  PostMessageW(controller, WM_COMMAND, ID_SOFTWARE_UPDATE, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        return (dialog = VisibleWindowOf(app.id(), L"Software Update", L"#32770")) != nullptr;
      },
      kUiWaitMs));
  HWND download = GetDlgItem(dialog, IDC_UPDATE_DOWNLOAD);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(download) != FALSE; }, kUiWaitMs))
      << "an installed copy with another version may download";
  PostMessageW(download, BM_CLICK, 0, 0);

  EXPECT_EQ(app.WaitForExit(30000), std::optional<DWORD>(0)) << "the program closed itself";
  EXPECT_EQ(ReadWholeFile(downloads + L"setup.exe"), installer);
  std::string started;
  EXPECT_TRUE(WaitUntil(
      [&] {
        started = ReadWholeFile(downloads + L"args.txt");
        return !started.empty();
      },
      30000));
  const std::wstring line(reinterpret_cast<const wchar_t*>(started.data()), started.size() / 2);
  EXPECT_EQ(line.substr(0, line.find(L'\n')), L"setup.exe -silent");
  EXPECT_EQ(server.Hits("/setup.exe"), 1);
}

namespace {

// The application's log as its log viewer shows it (the text after the
// time stamps), opening the viewer first.
std::vector<std::wstring> AppLog(RunningApp& app) {
  PostMessageW(app.controller(), WM_COMMAND, ID_LOG_VIEWER, 0);
  HWND viewer = AwaitWindowOf(app, L"Log Viewer");
  std::vector<std::wstring> lines;
  if (!viewer) {
    return lines;
  }
  Sleep(300);  // the posted flush
  HWND list = GetDlgItem(viewer, IDC_LOG_LINES);
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    line.resize(static_cast<std::size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
    lines.push_back(line.substr(line.find(L" >> ") + 4));
  }
  return lines;
}

bool Logged(RunningApp& app, const std::wstring& text, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        const std::vector<std::wstring> lines = AppLog(app);
        return std::find(lines.begin(), lines.end(), text) != lines.end();
      },
      timeoutMs);
}

}  // namespace

TEST(AppUpdateTest, VersionCheckAtStartLogsTheOutcomeAndShowsANewVersion) {
  struct Case {
    std::string versionFile;
    std::wstring logged;
    bool notice;
  };
  const Case cases[] = {
      {"version=1.2-6.5\r\ndate=2026-12-01\r\ndownload=http://x/setup.exe\r\n",
       L"Your version of Vantreloquin is up to date.", false},
      {"version=1.3-0.0\r\ndate=2026-12-01\r\ndownload=http://x/setup.exe\r\n",
       L"Your installed version of Vantreloquin does not match the latest version.", true},
      {"version=1.3-0.0\r\ndownload=http://x/setup.exe\r\n", L"Failed to parse version info file.",
       false},
  };
  for (const Case& c : cases) {
    HttpTestServer server;
    server.Serve("/Vantreloquin/CurrentVersion.txt", {200, c.versionFile, true, "text/plain"});
    StoreSettings([](CGeneralSettings_ConfigFile& settings) {
      settings.bCheckForUpdatesOnStartup.Set(true);
    });
    const std::u16string base = server.BaseUrl();
    RunningApp app({L"VANTRELOQUIN_UPDATE_SERVER=" + std::wstring(AsWide(base))});
    ASSERT_NE(app.controller(), nullptr);
    if (c.notice) {
      // The notice comes with the first timer ticks, about 4 s after start.
      HWND notice = nullptr;
      EXPECT_TRUE(WaitUntil(
          [&] {
            return (notice = VisibleWindowOf(app.process().id(), L"PROMPT", L"#32770")) != nullptr;
          },
          kDecisionTimeoutMs));
      if (notice) {
        Answer(app, notice, IDC_PROMPT_CHOICE1);
      }
    }
    EXPECT_TRUE(Logged(app, c.logged, 10000)) << std::string(c.versionFile);
    EXPECT_EQ(server.Hits("/Vantreloquin/CurrentVersion.txt"), 1);
  }
}

TEST(AppEndToEndLogTest, LinesOfTheProgramAndItsHelperAppearInOrder) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  std::vector<std::wstring> lines;
  const auto position = [&lines](const std::wstring& prefix) {
    return std::find_if(lines.begin(), lines.end(),
                        [&](const std::wstring& line) { return line.starts_with(prefix); }) -
           lines.begin();
  };
  ASSERT_TRUE(WaitUntil(
      [&] {
        lines = AppLog(app);
        return position(L"[ADL Helper] stopping") < static_cast<std::ptrdiff_t>(lines.size());
      },
      kDecisionTimeoutMs));
  EXPECT_LT(position(L"Spawned dispatcher thread"), position(L"[ADL Helper] started"));
  EXPECT_LT(position(L"[ADL Helper] started"), position(L"[ADL Helper] stopping"));
}

namespace {

// Fills in the file name of the program's Save As dialog and saves.
bool SaveAsIn(RunningApp& app, const std::wstring& path) {
  HWND dialog = nullptr;
  if (!WaitUntil(
          [&] {
            for (HWND window : TopLevelWindowsOf(app.process().id())) {
              wchar_t title[64] = {};
              GetWindowTextW(window, title, 64);
              if (IsWindowVisible(window) && std::wstring(title) == L"Save As") {
                dialog = window;
                return true;
              }
            }
            return false;
          },
          kUiWaitMs)) {
    return false;
  }
  HWND name = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM param) -> BOOL {
        wchar_t kind[32] = {};
        GetClassNameW(child, kind, 32);
        if (std::wstring(kind) == L"Edit" && IsWindowVisible(child)) {
          *reinterpret_cast<HWND*>(param) = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&name));
  if (!name) {
    return false;
  }
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

// Sends a "Dump to TXT" command, saves to `path` and confirms the closing
// message: the file's bytes, or nothing when a window of these steps did not
// come.
std::optional<std::string> DumpThroughMenu(RunningApp& app, UINT command,
                                           const std::wstring& path) {
  PostMessageW(app.controller(), WM_COMMAND, command, 0);
  if (!SaveAsIn(app, path)) {
    return std::nullopt;
  }
  HWND done = WaitForPrompt(app);
  if (done == nullptr) {
    return std::nullopt;
  }
  Answer(app, done, IDC_PROMPT_CHOICE1);
  return ReadWholeFile(path);
}

}  // namespace

TEST(AppSettingsTest, SettingsReportOfAKnownArchive) {
  StoreSettings([](CGeneralSettings_ConfigFile& settings) {
    settings.BlockingMethod.Set(3);
    settings.WindowFadeSpeed.Set(1);
    settings.AddSelectedGpu(u"Radeon RX 480");
    ASSERT_TRUE(AddRule(settings.Rules(), u"game.exe", ActionType::BlockIfForeground, true, 2));
  });
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  const std::optional<std::string> dumped =
      DumpThroughMenu(app, ID_DUMP_SETTINGS, MakeScratchFolder(L"export") + L"settings.txt");
  ASSERT_TRUE(dumped.has_value());
  const std::string& bytes = *dumped;
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::wstring text = Utf16TextAfterMark(bytes);
  for (const wchar_t* line :
       {L"\r\nWindow Fade Speed = FAST\r\n", L"\r\nBlocking Method = COMBINED (COMPUTE + ADL)\r\n",
        L"\r\nSettings > [ADL] Selected GPU's\r\n", L"\r\nRADEON RX 480\r\n",
        L"\r\n\"game.exe\"           | \"Block if in the foreground\" | "}) {
    EXPECT_NE(text.find(line), std::wstring::npos) << std::string(line, line + wcslen(line));
  }
}

TEST(AppEndToEndLogTest, DumpLogWritesTheViewerLinesAsUtf16) {
  StoreSettings([](CGeneralSettings_ConfigFile&) {});
  RunningApp app;
  ASSERT_NE(app.controller(), nullptr);
  const std::vector<std::wstring> shown = AppLog(app);
  ASSERT_FALSE(shown.empty());
  const std::optional<std::string> dumped =
      DumpThroughMenu(app, ID_DUMP_LOG, MakeScratchFolder(L"logdump") + L"log.txt");
  ASSERT_TRUE(dumped.has_value());
  const std::string& bytes = *dumped;
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const std::wstring text = Utf16TextAfterMark(bytes);
  EXPECT_FALSE(text.ends_with(L"\r\n"));
  EXPECT_NE(text.find(L" >> " + shown.front() + L"\r\n"), std::wstring::npos);
  EXPECT_NE(text.find(L" >> Started Log Viewer"), std::wstring::npos);
}

TEST(AppEndToEndTest, SplashShowsForAboutSevenSecondsBeforeTheStartEnds) {
  StoreSettings([](CGeneralSettings_ConfigFile& settings) { settings.bShowSplash.Set(true); });
  ChildProcess process(AppCommandLine());
  ASSERT_TRUE(process.started());
  HWND splash = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (splash = VisibleWindowOf(process.id(), L"", L"Static")) != nullptr; },
                kStartTimeoutMs));
  const ULONGLONG shown = GetTickCount64();
  RECT size{};
  GetWindowRect(splash, &size);
  EXPECT_EQ(size.right - size.left, 770);
  EXPECT_EQ(size.bottom - size.top, 305);
  EXPECT_EQ(ControllerWindowOf(process.id()), nullptr) << "the start waits for the splash";
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 30000));
  const ULONGLONG lasted = GetTickCount64() - shown;
  EXPECT_GT(lasted, 5000u);
  EXPECT_LT(lasted, 12000u);
  HWND controller = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (controller = ControllerWindowOf(process.id())) != nullptr; },
                        kStartTimeoutMs));
  PostMessageW(controller, WM_CLOSE, 0, 0);
  EXPECT_EQ(process.WaitForExit(30000), std::optional<DWORD>(0));
}
