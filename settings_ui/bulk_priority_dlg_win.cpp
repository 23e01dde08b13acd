#include "settings_ui/bulk_priority_dlg_win.h"

#include "resources/resource_ids.h"
#include "settings_ui/rule_edit_dialogs.h"
#include "toolkit/button_row_win.h"
#include "toolkit/window_text_win.h"

namespace {

constexpr int kLargestFont = 50;

}  // namespace

CBulkPriorityDlg::CBulkPriorityDlg(HWND parent, Prompts& prompts)
    : CToolTipDialog(IDD_BULK_PRIORITY, parent), prompts_(prompts) {}

bool CBulkPriorityDlg::Run() {
  return DoModalTemplate(IDD_BULK_PRIORITY) == IDOK;
}

BOOL CBulkPriorityDlg::OnInitDialog() {
  explanation_.Attach(hwnd(), IDC_BULK_EXPLANATION);
  arrow_.Attach(hwnd(), IDC_BULK_ARROW);
  cancel_.Attach(hwnd(), IDC_BULK_CANCEL);
  ok_.Attach(hwnd(), IDC_BULK_OK);
  explanation_.SetText(
      u"Enter a priority-hint to change from and a new value to change it to.\r\nAll rules "
      u"matching that priority will be changed to the new value.",
      kLargestFont);
  arrow_.SetText(u"=>", kLargestFont);
  cancel_.SetColors(kNegativeChoice.text, kNegativeChoice.face);
  ok_.SetColors(kPositiveChoice.text, kPositiveChoice.face);
  AddToolTip(GetDlgItem(hwnd(), IDC_BULK_FROM),
             u"Enter the value of the priority-hint that you wish to change.");
  AddToolTip(GetDlgItem(hwnd(), IDC_BULK_TO),
             u"Enter a new priority-hint to change the prior values to.");
  cancel_.SetToolTip(u"Exit and make no changes.");
  ok_.SetToolTip(
      u"Change all rules of priority-hint matching the \"FROM\" field (left) to the value in the "
      u"\"TO\" field (right).");
  LayoutButtonRow(hwnd(), -1, -1, {cancel_.hwnd(), ok_.hwnd()});
  return TRUE;
}

bool CBulkPriorityDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDC_BULK_OK && !IsClosing()) {
      from_ = GetWindowText16(GetDlgItem(hwnd(), IDC_BULK_FROM));
      to_ = GetWindowText16(GetDlgItem(hwnd(), IDC_BULK_TO));
      const std::u16string errors = BulkPriorityErrors(from_, to_);
      if (errors.empty()) {
        OnOK();
      } else {
        prompts_.ShowMessage(errors);
      }
      return true;
    }
    if (LOWORD(wParam) == IDC_BULK_CANCEL) {
      OnCancel();
      return true;
    }
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}
