// The settings window and the list picker, driven by messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <thread>

#include "fakes/fake_named_mutexes.h"
#include "resources/resource_ids.h"
#include "rules/desktop_win.h"
#include "settings_ui/edit_rule_dlg_win.h"
#include "settings_ui/list_selection_dlg_win.h"
#include "settings_ui/settings_dlg_win.h"
#include "test_support_win.h"

namespace {

constexpr DWORD kWaitMs = 10000;

// Dispatches this thread's messages until the condition holds.
bool PumpUntil(const std::function<bool()>& done) {
  return WaitUntil(
      [&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
        return done();
      },
      kWaitMs);
}

// Sends a key the way the program's message loop sees it.
void Key(HWND target, WPARAM key) {
  MSG msg{target, WM_KEYDOWN, key, 0, GetTickCount(), {}};
  HWND root = GetAncestor(target, GA_ROOT);
  auto* dialog = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(root, DWLP_USER));
  if (!dialog || !dialog->PreTranslate(msg)) {
    SendMessageW(target, WM_KEYDOWN, key, 0);
  }
}

HWND FindVisible(DWORD thread, const wchar_t* title) {
  struct Search {
    const wchar_t* title;
    HWND found = nullptr;
  } search{title};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        if (IsWindowVisible(window) && std::wstring(text) == s->title) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

// What the settings window's pages work on, owned by the test.
struct PageSources {
  PageSources() { settings.DecodeRules(); }
  ~PageSources() noexcept = default;
  SettingsPageSources Get() {
    return SettingsPageSources{settings,
                               settingsLock,
                               guard,
                               desktop,
                               u"C:\\windows\\",
                               [] { return std::vector<std::u16string>{}; },
                               block,
                               [this] { ++publications; },
                               taskQueue,
                               [](bool) { return false; },
                               [] {}};
  }
  CGeneralSettings_ConfigFile settings;
  CriticalSection_Wrapper settingsLock{CriticalSection_Wrapper::Form::ReaderWriter};
  ModalGuard guard;
  Win32Desktop desktop;
  FakeNamedMutexes mutexes;
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(block::kSize);
  SharedBlock block{memory.data(), mutexes};
  int publications = 0;
  std::vector<std::uint8_t> taskQueue;
};

TEST(SettingsWindowTest, ShowsPagesByTabKeepsKeysFromClosingAndHidesOnMinimise) {
  PageSources sources;
  CSettingsDlg settings(nullptr, sources.Get());
  ASSERT_TRUE(settings.CreateModeless());
  HWND window = settings.hwnd();
  settings.ShowFaded(SW_SHOW);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(settings.CurrentTab(), 0);
  EXPECT_TRUE(IsWindowVisible(settings.generalTab.hwnd()));
  EXPECT_FALSE(IsWindowVisible(settings.rulesTab.hwnd()));

  Key(settings.generalTab.hwnd(), VK_RETURN);
  Key(settings.generalTab.hwnd(), VK_ESCAPE);
  const ULONGLONG settle = GetTickCount64() + 300;
  PumpUntil([&] { return GetTickCount64() >= settle; });
  EXPECT_TRUE(IsWindowVisible(window)) << "Enter and Escape do not close it";

  HWND tabs = GetDlgItem(window, IDC_SETTINGS_TABS);
  SendMessageW(tabs, TCM_SETCURFOCUS, 2, 0);
  PumpUntil([&] { return settings.CurrentTab() == 2; });
  EXPECT_EQ(settings.CurrentTab(), 2);
  EXPECT_TRUE(IsWindowVisible(settings.rulesTab.hwnd()));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(settings.generalTab.hwnd()); }));

  // Never smaller than 300 x 200; the tab control follows the size.
  SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
  RECT size{};
  GetWindowRect(window, &size);
  EXPECT_GE(size.right - size.left, 300);
  EXPECT_GE(size.bottom - size.top, 200);
  RECT client{};
  RECT tabArea{};
  GetClientRect(window, &client);
  GetWindowRect(tabs, &tabArea);
  EXPECT_EQ(tabArea.right - tabArea.left, client.right);

  SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));
  EXPECT_FALSE(IsIconic(window));
  settings.ShowFaded(SW_SHOW);
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }));
  EXPECT_EQ(settings.CurrentTab(), 2) << "shown again on the same tab";
}

TEST(ListSelectionDlgTest, KeysMoveAndChooseEscapeDoesNotCloseCancelGivesNothing) {
  struct Case {
    bool cancel;
    std::u16string result;
  };
  for (const Case& c : {Case{false, u"b.exe"}, Case{true, u""}}) {
    CListSelectionDlg picker;
    picker.SetSelectionTitle(u"10:00:00 AM >> Process Snapshot");
    for (const char16_t* item : {u"a.exe", u"b.exe", u"A.EXE", u"c.exe"}) {
      picker.AddItem(item);
    }
    std::atomic<bool> stillOpen{false};
    const DWORD ui = GetCurrentThreadId();
    std::thread driver([&] {
      HWND dialog = nullptr;
      WaitUntil([&] { return (dialog = FindVisible(ui, L"10:00:00 AM >> Process Snapshot")); },
                kWaitMs);
      if (!dialog) {
        return;
      }
      HWND list = GetDlgItem(dialog, IDC_LIST_SELECTION_LIST);
      PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);  // no selection: the second line
      Sleep(400);
      stillOpen = IsWindowVisible(dialog) != FALSE;
      if (c.cancel) {
        PostMessageW(GetDlgItem(dialog, IDC_LIST_SELECTION_CANCEL), BM_CLICK, 0, 0);
      } else {
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
      }
    });
    const bool chosen = picker.Run();
    driver.join();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(chosen, !c.cancel);
    EXPECT_EQ(picker.GetSelection(), c.result);
  }
}

namespace {

// Waits on the driver thread for a visible window of the UI thread.
HWND AwaitWindow(DWORD ui, const wchar_t* title) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindVisible(ui, title)) != nullptr; }, kWaitMs);
  return found;
}

void Click(HWND dialog, int id) {
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::wstring ListText(HWND list, int row, int column) {
  wchar_t text[128] = {};
  ListView_GetItemText(list, row, column, text, 128);
  return text;
}

}  // namespace

TEST(RulesPageTest, AddingThroughTheEditDialogShowsTheRuleInItsColourWithOneUndoStep) {
  PageSources sources;
  CSettingsDlg settings(nullptr, sources.Get());
  ASSERT_TRUE(settings.CreateModeless());
  settings.ShowFaded(SW_SHOW);
  settings.ShowTab(2);
  HWND page = settings.rulesTab.hwnd();
  const DWORD ui = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::thread driver([&] {
    HWND edit = AwaitWindow(ui, L"Create New Rule");
    if (edit) {
      SendMessageW(GetDlgItem(edit, IDC_EDIT_RULE_PROGRAM), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"  game.exe "));
      SendMessageW(GetDlgItem(edit, IDC_EDIT_RULE_PRIORITY), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(L"3"));
      Click(edit, IDC_EDIT_RULE_OK);
      if (HWND added = AwaitWindow(ui, L"PROMPT")) {
        Click(added, IDC_PROMPT_CHOICE1);
      }
    }
    done = true;
  });
  Click(page, IDC_RULES_ADD);
  PumpUntil([&] { return done.load(); });
  driver.join();
  PumpUntil([&] { return !FindVisible(ui, L"PROMPT"); });

  HWND list = GetDlgItem(page, IDC_RULES_LIST);
  ASSERT_EQ(ListView_GetItemCount(list), 4);
  EXPECT_EQ(ListText(list, 0, 0), L"game.exe");
  EXPECT_EQ(ListText(list, 0, 1), L"Block");
  EXPECT_EQ(ListText(list, 0, 4), L"3");
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0) << "the new rule is selected";
  EXPECT_EQ(settings.rulesTab.model().rows()[0].face, RGB(0xDC, 0x14, 0x3C)) << "Crimson";
  wchar_t undo[32] = {};
  GetWindowTextW(GetDlgItem(page, IDC_RULES_UNDO), undo, 32);
  EXPECT_EQ(std::wstring(undo), L"Undo [1]");
  ASSERT_NE(FindRule(sources.settings.Rules(), u"game.exe"), nullptr);
  EXPECT_EQ(FindRule(sources.settings.Rules(), u"game.exe")->priorityHint, 3u);
}

TEST(RulesPageTest, PickWindowListsAVisibleWindowAndStoresItsFileName) {
  ChildProcess probe(L"\"" + ExecutableFolder() + L"window_probe.exe\" window");
  ASSERT_TRUE(probe.started());
  Win32Desktop desktop;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (WindowId window : desktop.ListVisibleWindows()) {
          if (desktop.WindowProcessId(window) == probe.id()) {
            return true;
          }
        }
        return false;
      },
      kWaitMs));
  DialogPrompts prompts;
  DialogListPicker picker;
  CEditRuleDlg dialog(nullptr, EditRuleServices{prompts, desktop, picker, u"C:\\windows\\",
                                                [] { return std::vector<std::u16string>{}; }});
  const DWORD ui = GetCurrentThreadId();
  std::wstring pickedLine;
  std::thread driver([&] {
    HWND edit = AwaitWindow(ui, L"New");
    if (!edit) {
      return;
    }
    Click(edit, IDC_EDIT_RULE_PICK_WINDOW);
    HWND list = nullptr;
    WaitUntil(
        [&] {
          struct Search {
            HWND found = nullptr;
          } search;
          EnumThreadWindows(
              ui,
              [](HWND window, LPARAM param) -> BOOL {
                wchar_t title[128] = {};
                GetWindowTextW(window, title, 128);
                if (IsWindowVisible(window) &&
                    std::wstring(title).ends_with(L" >> Visible Window Snapshot")) {
                  reinterpret_cast<Search*>(param)->found = window;
                }
                return TRUE;
              },
              reinterpret_cast<LPARAM>(&search));
          return (list = search.found) != nullptr;
        },
        kWaitMs);
    if (list) {
      HWND box = GetDlgItem(list, IDC_LIST_SELECTION_LIST);
      const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        wchar_t line[512] = {};
        SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        if (std::wstring(line).find(L"window_probe.exe") != std::wstring::npos) {
          pickedLine = line;
          SendMessageW(box, LB_SETCURSEL, i, 0);
        }
      }
      Click(list, IDC_LIST_SELECTION_SELECT);
      if (HWND question = AwaitWindow(ui, L"PROMPT")) {
        Click(question, IDC_PROMPT_CHOICE2);  // "File-Name"
      }
      Sleep(500);
    }
    Click(edit, IDC_EDIT_RULE_OK);
  });
  RuleEditRequest request;
  request.title = u"New";
  const std::optional<RuleEditResult> result = dialog.Run(request);
  driver.join();
  EXPECT_TRUE(pickedLine.starts_with(L"[\"Probe\"] | ")) << "line as listed";
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->processPath, u"window_probe.exe");
  EXPECT_EQ(result->action, ActionType::Block);
}
