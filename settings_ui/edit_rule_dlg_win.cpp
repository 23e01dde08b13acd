#include "settings_ui/edit_rule_dlg_win.h"

#include <variant>

#include "app/log.h"
#include "base/wide_win.h"
#include "resources/resource_ids.h"
#include "settings_ui/edit_rule_model.h"
#include "settings_ui/program_pickers.h"
#include "settings_ui/rule_colors.h"
#include "toolkit/button_row_win.h"
#include "toolkit/file_dialog_win.h"
#include "toolkit/window_text_win.h"

namespace {

constexpr UINT_PTR kLayoutWatchTimer = 1;
constexpr UINT kLayoutWatchPeriodMs = 30;
constexpr int kLabelRow = 36;
constexpr int kGapRow = 20;
constexpr int kLargestFont = 50;
constexpr LONG kMinimumWidth = 300;
constexpr COLORREF kPageFace = RGB(50, 50, 50);
constexpr COLORREF kPickerFace = RGB(140, 140, 140);

constexpr char16_t kClockNote[] =
    u"\r\n\r\nNOTE: Custom clocks only apply if \"Use custom clocks\" has been checked in the "
    u"general settings tab.\r\n\r\n**WARNING** Clocks will go in to effect IMMEDIATELY on editing "
    u"this rule, if the rule is the current trigger!";

int HeightOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

}  // namespace

CEditRuleDlg::CEditRuleDlg(HWND parent, EditRuleServices services)
    : CToolTipDialog(IDD_EDIT_RULE, parent), services_(std::move(services)) {}

std::optional<RuleEditResult> CEditRuleDlg::Run(const RuleEditRequest& request) {
  request_ = request;
  coreClock_ = request.coreClock;
  memClock_ = request.memClock;
  result_.reset();
  DoModalTemplate(IDD_EDIT_RULE);
  return result_;
}

BOOL CEditRuleDlg::OnInitDialog() {
  const int labelIds[] = {IDC_EDIT_RULE_PROGRAM_LABEL, IDC_EDIT_RULE_ACTION_LABEL,
                          IDC_EDIT_RULE_PRIORITY_LABEL, IDC_EDIT_RULE_CLOCK_LABEL};
  const char16_t* labelTexts[] = {u"Program Full-Path or File-Name", u"Action Type",
                                  u"Priority-Hint", u"Custom Clock Control"};
  for (int i = 0; i < 4; ++i) {
    labels_[i].Attach(hwnd(), labelIds[i]);
    labels_[i].SetText(labelTexts[i], kLargestFont);
  }
  coreDisplay_.Attach(hwnd(), IDC_EDIT_RULE_SHOW_CORE);
  memDisplay_.Attach(hwnd(), IDC_EDIT_RULE_SHOW_MEM);
  const int pickerIds[] = {IDC_EDIT_RULE_PICK_WINDOW, IDC_EDIT_RULE_PICK_PROCESS,
                           IDC_EDIT_RULE_PICK_RECENT, IDC_EDIT_RULE_BROWSE};
  const char16_t* pickerTips[] = {
      u"Select a program from a list of currently visible Windows.",
      u"Select a program from a list of currently running processes.",
      u"Select a program from a list of those recently ran in the foreground.\r\n\r\nThis list "
      u"may contain many processes that are no longer running.\r\n\r\nItems at the top of the "
      u"list have been in the foreground the most recent.",
      u"Browse for a program using a file selection dialog."};
  for (int i = 0; i < 4; ++i) {
    pickers_[i].Attach(hwnd(), pickerIds[i]);
    pickers_[i].SetColors(RGB(255, 255, 255), kPickerFace);
    AddToolTip(pickers_[i].hwnd(), pickerTips[i]);
  }
  setCore_.Attach(hwnd(), IDC_EDIT_RULE_SET_CORE);
  setMem_.Attach(hwnd(), IDC_EDIT_RULE_SET_MEM);
  setCore_.SetColors(RGB(255, 255, 255), kPickerFace);
  setMem_.SetColors(RGB(255, 255, 255), kPickerFace);
  cancel_.Attach(hwnd(), IDC_EDIT_RULE_CANCEL);
  ok_.Attach(hwnd(), IDC_EDIT_RULE_OK);
  cancel_.SetColors(kNegativeChoice.text, kNegativeChoice.face);
  ok_.SetColors(kPositiveChoice.text, kPositiveChoice.face);

  AddToolTip(Item(IDC_EDIT_RULE_PROGRAM),
             u"Type the Full-Path or File-Name of the program here.\r\nOr use one of the buttons "
             u"below to select one.\r\n\r\nNote: In some cases Vantreloquin may not be able to "
             u"detect the Full-Path of the running process.\r\n\r\nIf a Full-Path rule is not "
             u"working, try using File-Name only.\r\nUse the buttons below to see what the "
             u"program can see.\r\n\r\n--You can also use \"*\" wildcards in the search criteria.");
  AddToolTip(Item(IDC_EDIT_RULE_ACTION),
             u"Select an action from the dropdown to define clock behavior for this "
             u"program.\r\n\r\nQuick Brief:\r\nBlock = applies when program is in either "
             u"foreground or background\r\n\r\nBlock if in foreground = applies when in "
             u"foreground only\r\n\r\nBlock if in background = applies when in background only");
  AddToolTip(Item(IDC_EDIT_RULE_PRIORITY),
             u"Specifies priority-hint for this rule.\r\n\r\n-Rules are automatically sorted and "
             u"you may find that you don't need to specify a priority.\r\n\r\n-When you're trying "
             u"to do something special that the sorting won't permit to happen, you can move "
             u"rules higher in the list by assigning a priority-hint.");
  AddToolTip(setCore_.hwnd(), std::u16string(u"Changes the profile core-clock.") + kClockNote);
  AddToolTip(setMem_.hwnd(), std::u16string(u"Changes the profile mem-clock.") + kClockNote);
  AddToolTip(coreDisplay_.hwnd(),
             std::u16string(u"Displays the profile target for the core-clock.") + kClockNote);
  AddToolTip(memDisplay_.hwnd(),
             std::u16string(u"Displays the profile target for the mem-clock.") + kClockNote);
  AddToolTip(Item(IDC_EDIT_RULE_ENABLED),
             u"Enables or disables the evaluation of this rule.\r\n\r\n-You can uncheck this "
             u"checkbox instead of deleting a rule if you think you will want that rule "
             u"again.\r\n\r\n-Some rules that define the default behavior can be disabled, but "
             u"cannot be deleted.");
  cancel_.SetToolTip(request_.editMode ? u"Exit this dialog without editing the rule."
                                       : u"Exit this dialog without creating a rule.");
  ok_.SetToolTip(request_.editMode ? u"Edit the rule to the above details."
                                   : u"Create a new rule from the above details.");

  SetTimer(hwnd(), kLayoutWatchTimer, kLayoutWatchPeriodMs, nullptr);
  rowsHeight_ = Layout();

  const EditRuleSetup setup = SetupEditRule(request_);
  for (const std::u16string& entry : setup.actionEntries) {
    std::u16string copy = entry;
    SendMessageW(Item(IDC_EDIT_RULE_ACTION), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(AsWide(copy)));
  }
  SendMessageW(Item(IDC_EDIT_RULE_ACTION), CB_SETCURSEL, setup.selectedEntry, 0);
  EnableWindow(Item(IDC_EDIT_RULE_ENABLED), setup.enabledBoxUsable);
  for (HWND field : {Item(IDC_EDIT_RULE_PROGRAM), Item(IDC_EDIT_RULE_PRIORITY), pickers_[0].hwnd(),
                     pickers_[1].hwnd(), pickers_[2].hwnd(), pickers_[3].hwnd()}) {
    EnableWindow(field, setup.programFieldsUsable);
  }
  CheckDlgButton(hwnd(), IDC_EDIT_RULE_ENABLED, request_.enabled ? BST_CHECKED : BST_UNCHECKED);
  SetWindowText16(Item(IDC_EDIT_RULE_PROGRAM), setup.executableText);
  SetWindowText16(Item(IDC_EDIT_RULE_PRIORITY), setup.priorityText);
  SetWindowText16(hwnd(), request_.title);
  ShowClocks();
  return TRUE;
}

int CEditRuleDlg::Layout() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  lastClient_ = client;
  const int width = client.right;
  const int h = HeightOf(Item(IDC_EDIT_RULE_PROGRAM));
  const int b = HeightOf(cancel_.hwnd());
  int y = 0;
  const auto row = [&](std::initializer_list<HWND> controls, int height) {
    LayoutButtonRow(hwnd(), y, height, controls);
    y += height;
  };
  row({labels_[0].hwnd()}, kLabelRow);
  row({Item(IDC_EDIT_RULE_PROGRAM)}, h);
  row({pickers_[0].hwnd(), pickers_[1].hwnd(), pickers_[2].hwnd(), pickers_[3].hwnd()}, h);
  row({labels_[1].hwnd()}, kLabelRow);
  // A drop-down list keeps its own height; its list opens below.
  MoveWindow(Item(IDC_EDIT_RULE_ACTION), 0, y, width, 200, TRUE);
  y += h;
  row({labels_[2].hwnd()}, kLabelRow);
  row({Item(IDC_EDIT_RULE_PRIORITY)}, h);
  row({labels_[3].hwnd()}, kLabelRow);
  row({setCore_.hwnd(), setMem_.hwnd()}, b);
  row({coreDisplay_.hwnd(), memDisplay_.hwnd()}, b);
  row({Item(IDC_EDIT_RULE_ENABLED)}, b);
  y += kGapRow;
  row({cancel_.hwnd(), ok_.hwnd()}, b);
  InvalidateRect(hwnd(), nullptr, TRUE);
  return y;
}

void CEditRuleDlg::ShowClocks() {
  coreShown_ = ClockDisplayText(coreClock_, coreShown_);
  memShown_ = ClockDisplayText(memClock_, memShown_);
  coreDisplay_.SetText(coreShown_, kLargestFont);
  memDisplay_.SetText(memShown_, kLargestFont);
}

void CEditRuleDlg::SetProgramText(const std::optional<std::u16string>& text) {
  if (text) {
    SetWindowText16(Item(IDC_EDIT_RULE_PROGRAM), *text);
  }
}

void CEditRuleDlg::Browse() {
  if (const auto path =
          AskFileName(FileDialogKind::Open, hwnd(),
                      L"Executable Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0\0", L"exe",
                      OFN_FORCESHOWHIDDEN | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY)) {
    SetProgramText(ChooseProgramText(services_.prompts, *path));
  }
}

void CEditRuleDlg::Ok() {
  if (IsClosing()) {
    return;
  }
  const int selected =
      static_cast<int>(SendMessageW(Item(IDC_EDIT_RULE_ACTION), CB_GETCURSEL, 0, 0));
  std::u16string actionText;
  if (selected >= 0) {
    const LRESULT length = SendMessageW(Item(IDC_EDIT_RULE_ACTION), CB_GETLBTEXTLEN, selected, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(Item(IDC_EDIT_RULE_ACTION), CB_GETLBTEXT, selected,
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    actionText = FromWide(text);
  }
  const auto outcome = CheckEditRule(
      GetWindowText16(Item(IDC_EDIT_RULE_PROGRAM)), actionText,
      GetWindowText16(Item(IDC_EDIT_RULE_PRIORITY)),
      IsDlgButtonChecked(hwnd(), IDC_EDIT_RULE_ENABLED) == BST_CHECKED, coreClock_, memClock_);
  if (const auto* message = std::get_if<std::u16string>(&outcome)) {
    services_.prompts.ShowMessage(*message);
    return;
  }
  KillTimer(hwnd(), kLayoutWatchTimer);
  result_ = std::get<RuleEditResult>(outcome);
  OnOK();
}

bool CEditRuleDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kLayoutWatchTimer) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        if (!EqualRect(&client, &lastClient_)) {
          Layout();
        }
        return true;
      }
      break;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      HBRUSH face = CreateSolidBrush(kPageFace);
      FillRect(reinterpret_cast<HDC>(wParam), &client, face);
      DeleteObject(face);
      result = TRUE;
      return true;
    }
    case WM_GETMINMAXINFO:
      if (rowsHeight_ > 0) {
        RECT frame{0, 0, 0, rowsHeight_};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = kMinimumWidth;
        limits->ptMinTrackSize.y = frame.bottom - frame.top;
        limits->ptMaxTrackSize.y = frame.bottom - frame.top;
        result = 0;
        return true;
      }
      break;
    case WM_COMMAND: {
      if (HIWORD(wParam) != BN_CLICKED) {
        break;
      }
      const PickerContext context{services_.desktop, services_.picker, services_.prompts,
                                  services_.windowsFolder, CurrentLocalTime()};
      switch (LOWORD(wParam)) {
        case IDOK:  // Enter
        case IDC_EDIT_RULE_OK:
          Ok();
          return true;
        case IDCANCEL:  // Escape
        case IDC_EDIT_RULE_CANCEL:
          KillTimer(hwnd(), kLayoutWatchTimer);
          OnCancel();
          return true;
        case IDC_EDIT_RULE_SET_CORE:
        case IDC_EDIT_RULE_SET_MEM: {
          const bool core = LOWORD(wParam) == IDC_EDIT_RULE_SET_CORE;
          if (const auto clock =
                  AskRuleClock(services_.prompts, core ? ClockKind::Core : ClockKind::Mem)) {
            (core ? coreClock_ : memClock_) = *clock;
            ShowClocks();
          }
          return true;
        }
        case IDC_EDIT_RULE_PICK_PROCESS:
          SetProgramText(PickRunningProcess(context));
          return true;
        case IDC_EDIT_RULE_PICK_WINDOW:
          SetProgramText(PickVisibleWindow(context));
          return true;
        case IDC_EDIT_RULE_PICK_RECENT:
          SetProgramText(PickRecentForeground(context, services_.recentForeground()));
          return true;
        case IDC_EDIT_RULE_BROWSE:
          Browse();
          return true;
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
