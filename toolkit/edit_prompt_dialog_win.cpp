#include "toolkit/edit_prompt_dialog_win.h"

#include "resources/resource_ids.h"
#include "toolkit/button_row_win.h"
#include "toolkit/window_text_win.h"

namespace {

constexpr int kLargestMessageFont = 50;

}  // namespace

CEditPromptDlg::CEditPromptDlg(HWND parent) : CToolTipDialog(IDD_TEXT_PROMPT, parent) {}

bool CEditPromptDlg::PromptForText(std::u16string* destination, const TextPromptTexts& texts) {
  title_ = texts.title;
  message_ = texts.message;
  editTip_ = texts.editTip;
  cancelTip_ = texts.cancelTip;
  confirmTip_ = texts.confirmTip;
  destination_ = destination;
  const bool confirmed = DoModalTemplate(IDD_TEXT_PROMPT) == IDOK;
  destination_ = nullptr;
  return confirmed;
}

BOOL CEditPromptDlg::OnInitDialog() {
  cancel_.Attach(hwnd(), IDC_TEXT_PROMPT_CANCEL);
  confirm_.Attach(hwnd(), IDC_TEXT_PROMPT_CONFIRM);
  messageArea_.Attach(hwnd(), IDC_TEXT_PROMPT_MESSAGE);
  LayoutButtonRow(hwnd(), -1, -1, {cancel_.hwnd(), confirm_.hwnd()});
  SetWindowText16(hwnd(), title_);
  cancel_.SetColors(kNegativeChoice.text, kNegativeChoice.face);
  confirm_.SetColors(kPositiveChoice.text, kPositiveChoice.face);
  cancel_.SetToolTip(cancelTip_);
  confirm_.SetToolTip(confirmTip_);
  HWND edit = GetDlgItem(hwnd(), IDC_TEXT_PROMPT_EDIT);
  AddToolTip(edit, editTip_);
  messageArea_.SetText(message_, kLargestMessageFont);
  SetWindowText16(edit, value_);
  SetFocus(edit);
  return FALSE;  // the focus is set
}

void CEditPromptDlg::Confirm() {
  if (IsClosing()) {
    return;
  }
  value_ = GetWindowText16(GetDlgItem(hwnd(), IDC_TEXT_PROMPT_EDIT));
  if (destination_) {
    *destination_ = value_;
  }
  OnOK();
}

bool CEditPromptDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDC_TEXT_PROMPT_CONFIRM) {
      Confirm();
      return true;
    }
    if (LOWORD(wParam) == IDC_TEXT_PROMPT_CANCEL) {
      OnCancel();
      return true;
    }
  }
  return CToolTipDialog::OnMessage(message, wParam, lParam, result);
}

bool CEditPromptDlg::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) {
    return false;
  }
  if (msg.wParam == VK_RETURN) {
    Confirm();
    return true;
  }
  return msg.wParam == VK_ESCAPE;
}
