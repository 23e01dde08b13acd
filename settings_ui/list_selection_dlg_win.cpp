#include "settings_ui/list_selection_dlg_win.h"

#include <optional>

#include "resources/resource_ids.h"
#include "toolkit/button_row_win.h"
#include "toolkit/prompts.h"
#include "toolkit/window_icons_win.h"
#include "toolkit/window_text_win.h"

CListSelectionDlg::CListSelectionDlg(HWND parent) : CToolTipDialog(IDD_LIST_SELECTION, parent) {}

bool CListSelectionDlg::Run() {
  result_.clear();
  return DoModalTemplate(IDD_LIST_SELECTION) == IDOK;
}

BOOL CListSelectionDlg::OnInitDialog() {
  SetWindowIcons(hwnd(), IDI_CLOCK_FREE);
  list_.Attach(hwnd(), IDC_LIST_SELECTION_LIST);
  cancel_.Attach(hwnd(), IDC_LIST_SELECTION_CANCEL);
  select_.Attach(hwnd(), IDC_LIST_SELECTION_SELECT);
  list_.SetColors(RGB(0, 255, 0), RGB(50, 50, 50));
  std::vector<std::u16string> lines = selection_.items();
  if (lines.empty()) {
    lines.emplace_back();
  }
  list_.SetTexts(lines);
  cancel_.SetColors(kNegativeChoice.text, kNegativeChoice.face);
  select_.SetColors(kPositiveChoice.text, kPositiveChoice.face);
  SetWindowText16(hwnd(), selection_.title());
  Layout();
  return TRUE;
}

void CListSelectionDlg::Layout() {
  if (!list_.hwnd() || !cancel_.hwnd()) {
    return;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT button{};
  GetWindowRect(cancel_.hwnd(), &button);
  const int strip = button.bottom - button.top;
  MoveWindow(list_.hwnd(), 0, 0, client.right, client.bottom - strip, TRUE);
  LayoutButtonRow(hwnd(), client.bottom - strip, strip, {cancel_.hwnd(), select_.hwnd()});
}

void CListSelectionDlg::Select() {
  if (IsClosing()) {
    return;
  }
  const int selected = list_.CurrentIndex();
  const std::optional<std::u16string> chosen = ListSelection::Choose(
      list_.Count(), selected, selected >= 0 ? list_.Text(selected) : std::u16string());
  if (chosen) {
    result_ = *chosen;
    OnOK();
  }
}

bool CListSelectionDlg::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) {
    return false;
  }
  switch (msg.wParam) {
    case VK_RETURN:
      Select();
      return true;
    case VK_ESCAPE:
      return true;
    case VK_UP:
      list_.SetCurrentIndex(ListSelection::LineAbove(list_.CurrentIndex(), list_.Count()));
      return true;
    case VK_DOWN:
      list_.SetCurrentIndex(ListSelection::LineBelow(list_.CurrentIndex(), list_.Count()));
      return true;
    default:
      return false;
  }
}

bool CListSelectionDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return false;
    case WM_CTLCOLORLISTBOX:
      if (reinterpret_cast<HWND>(lParam) == list_.hwnd()) {
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(50, 50, 50));
        result = reinterpret_cast<LRESULT>(list_.FaceBrush());
        return true;
      }
      break;
    case WM_COMMAND:
      // A double click on a line chooses it as Select does.
      if ((LOWORD(wParam) == IDC_LIST_SELECTION_SELECT && HIWORD(wParam) == BN_CLICKED) ||
          (LOWORD(wParam) == IDC_LIST_SELECTION_LIST && HIWORD(wParam) == LBN_DBLCLK)) {
        Select();
        return true;
      }
      if (LOWORD(wParam) == IDC_LIST_SELECTION_CANCEL && HIWORD(wParam) == BN_CLICKED) {
        result_.clear();
        OnCancel();
        return true;
      }
      break;
    default:
      break;
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}

std::u16string DialogListPicker::PickFromList(std::u16string_view title,
                                              const std::vector<std::u16string>& items) {
  CListSelectionDlg picker(owner_);
  picker.SetSelectionTitle(title);
  for (const std::u16string& item : items) {
    picker.AddItem(item);
  }
  picker.Run();
  return picker.GetSelection();
}
