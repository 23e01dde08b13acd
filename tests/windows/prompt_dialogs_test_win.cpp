// The prompt dialogs and their tooltip and fade base, driven by messages
// from a second thread as a user would drive them.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "base/wide_win.h"
#include "resources/resource_ids.h"
#include "test_support_win.h"
#include "toolkit/dialog_prompts_win.h"
#include "toolkit/fade_duration.h"
#include "toolkit/tooltip_dialog_win.h"
#include "toolkit/window_text_win.h"

namespace {

constexpr DWORD kWaitMs = 10000;

// The visible top-level window of the thread with this title.
HWND FindVisibleWindow(DWORD threadId, const std::wstring& title) {
  struct Search {
    std::wstring title;
    HWND found = nullptr;
  } search{title};
  EnumThreadWindows(
      threadId,
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        if (IsWindowVisible(window) && s->title == text) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs the steps on a second thread once the dialog with the title shows.
class Driver {
 public:
  template <typename Steps>
  Driver(const std::wstring& title, Steps steps)
      : thread_([this, title, steps, ui = GetCurrentThreadId()] {
          HWND dialog = nullptr;
          if (WaitUntil([&] { return (dialog = FindVisibleWindow(ui, title)) != nullptr; },
                        kWaitMs)) {
            found_ = true;
            steps(dialog);
          }
        }) {}
  ~Driver() { thread_.join(); }
  bool found() const { return found_; }

 private:
  std::atomic<bool> found_{false};
  std::thread thread_;
};

void PressKey(HWND dialog, WPARAM key) {
  HWND target = GetDlgItem(dialog, IDC_TEXT_PROMPT_EDIT);
  PostMessageW(target ? target : GetDlgItem(dialog, IDC_PROMPT_CHOICE1), WM_KEYDOWN, key, 0);
}

RECT ClientRectOf(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

}  // namespace

TEST(PromptDialogTest, AnswersThePressedCaptionExactlyAndIgnoresEnterAndEscape) {
  RECT client{};
  RECT left{};
  RECT right{};
  bool topmost = false;
  bool stillOpenAfterKeys = false;
  DialogPrompts prompts;
  std::u16string answer;
  {
    Driver driver(L"PROMPT", [&](HWND prompt) {
      PressKey(prompt, VK_RETURN);
      PressKey(prompt, VK_ESCAPE);
      Sleep(500);
      stillOpenAfterKeys = IsWindowVisible(prompt) != FALSE;
      client = ClientRectOf(prompt);
      GetWindowRect(GetDlgItem(prompt, IDC_PROMPT_CHOICE1), &left);
      GetWindowRect(GetDlgItem(prompt, IDC_PROMPT_CHOICE2), &right);
      topmost = (GetWindowLongW(prompt, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      PostMessageW(GetDlgItem(prompt, IDC_PROMPT_CHOICE2), BM_CLICK, 0, 0);
    });
    answer = prompts.PromptTwo(u"No way", u"Yes, go ahead ", u"Short");
    EXPECT_TRUE(driver.found());
  }
  EXPECT_EQ(answer, u"Yes, go ahead ");
  EXPECT_TRUE(stillOpenAfterKeys);
  EXPECT_TRUE(topmost);
  // A short message gets the smallest prompt; the buttons share the row.
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 80);
  EXPECT_EQ(left.right - left.left, 100);
  EXPECT_EQ(right.left, left.right);
  EXPECT_EQ(right.bottom - right.top, 30);
}

TEST(PromptDialogTest, LongMessageGrowsThePromptAndOneChoiceSpansIt) {
  RECT client{};
  RECT button{};
  bool secondShown = true;
  DialogPrompts prompts;
  std::u16string answer;
  {
    Driver driver(L"PROMPT", [&](HWND prompt) {
      client = ClientRectOf(prompt);
      GetWindowRect(GetDlgItem(prompt, IDC_PROMPT_CHOICE1), &button);
      secondShown = IsWindowVisible(GetDlgItem(prompt, IDC_PROMPT_CHOICE2)) != FALSE;
      PostMessageW(GetDlgItem(prompt, IDC_PROMPT_CHOICE1), BM_CLICK, 0, 0);
    });
    answer = prompts.PromptOk(
        u"A message long enough to be wider than two hundred pixels\r\nover\r\nfour\r\nlines");
    EXPECT_TRUE(driver.found());
  }
  EXPECT_EQ(answer, u"OK");
  EXPECT_GT(client.right, 200);
  EXPECT_GT(client.bottom, 80);
  EXPECT_EQ(button.right - button.left, client.right);
  EXPECT_FALSE(secondShown);
}

TEST(PromptDialogTest, ClosedPromptEndsWithoutAnAnswer) {
  DialogPrompts prompts;
  std::u16string answer = u"unset";
  {
    Driver driver(L"PROMPT", [](HWND prompt) { PostMessageW(prompt, WM_SYSCOMMAND, SC_CLOSE, 0); });
    answer = prompts.PromptTwo(u"No", u"Yes", u"Close me");
    EXPECT_TRUE(driver.found());
  }
  EXPECT_EQ(answer, u"");
}

TEST(TextPromptTest, ConfirmAndEnterGiveTheTextCancelAndEscapeDoNot) {
  enum class Action { Confirm, Enter, Cancel };
  struct Case {
    Action action;
    bool confirmed;
    std::u16string result;
  };
  const Case cases[] = {
      {Action::Confirm, true, u"+50"},
      {Action::Enter, true, u"+50"},
      {Action::Cancel, false, u"before"},
  };
  for (const Case& c : cases) {
    DialogPrompts prompts;
    std::u16string result = u"before";
    bool confirmed = false;
    bool stillOpenAfterEscape = false;
    std::u16string title;
    {
      Driver driver(L"Set a clock", [&](HWND prompt) {
        HWND edit = GetDlgItem(prompt, IDC_TEXT_PROMPT_EDIT);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"+50"));
        PressKey(prompt, VK_ESCAPE);
        Sleep(400);
        stillOpenAfterEscape = IsWindowVisible(prompt) != FALSE;
        switch (c.action) {
          case Action::Confirm:
            PostMessageW(GetDlgItem(prompt, IDC_TEXT_PROMPT_CONFIRM), BM_CLICK, 0, 0);
            break;
          case Action::Enter:
            PressKey(prompt, VK_RETURN);
            break;
          case Action::Cancel:
            PostMessageW(GetDlgItem(prompt, IDC_TEXT_PROMPT_CANCEL), BM_CLICK, 0, 0);
            break;
        }
      });
      confirmed = prompts.PromptForText(
          &result, TextPromptTexts{u"Set a clock", u"Examples:\r\n+50", u"Enter it here.",
                                   u"Abort, change nothing.", u"Confirm"});
      EXPECT_TRUE(driver.found());
    }
    EXPECT_EQ(confirmed, c.confirmed) << static_cast<int>(c.action);
    EXPECT_EQ(result, c.result) << static_cast<int>(c.action);
    EXPECT_TRUE(stillOpenAfterEscape);
  }
}

TEST(ToolTipDialogTest, ATooltipAddedTwiceKeepsOneToolWithTheNewText) {
  CToolTipDialog dialog(IDD_TEXT_PROMPT, nullptr);
  ASSERT_TRUE(dialog.CreateModeless());
  HWND edit = GetDlgItem(dialog.hwnd(), IDC_TEXT_PROMPT_EDIT);
  dialog.AddToolTip(edit, u"first");
  dialog.AddToolTip(edit, u"second");
  dialog.AddToolTip(nullptr, u"ignored");
  EXPECT_EQ(dialog.ToolTipCount(), 1u);

  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == TOOLTIPS_CLASSW) {
          *reinterpret_cast<HWND*>(param) = window;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[64] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = edit;
  tool.uId = 1;
  tool.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"second");
}

TEST(ToolTipDialogTest, ModelessDialogFadesInToOpaqueAndOutToHidden) {
  FadeDuration = kFastFadeDuration;
  CToolTipDialog dialog(IDD_PROMPT, nullptr);
  ASSERT_TRUE(dialog.CreateModeless());
  ASSERT_FALSE(IsWindowVisible(dialog.hwnd()));
  const auto alphaOf = [&dialog] {
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(dialog.hwnd(), nullptr, &alpha, &flags);
    return alpha;
  };
  const auto pumpUntil = [](auto done) {
    return WaitUntil(
        [&] {
          MSG msg;
          while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
          }
          return done();
        },
        kWaitMs);
  };
  dialog.ShowFaded(SW_SHOW);
  EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(dialog.hwnd()) && alphaOf() == 255; }));
  dialog.ShowFaded(SW_HIDE);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindowVisible(dialog.hwnd()); }));
  EXPECT_EQ(alphaOf(), 0);
  FadeDuration = kNormalFadeDuration;
}
