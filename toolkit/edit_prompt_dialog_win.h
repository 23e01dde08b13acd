// A text prompt: title, message, one edit line, Cancel and Confirm. Enter
// confirms; Escape does nothing.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/flat_color_button_win.h"
#include "toolkit/prompts.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CEditPromptDlg : public CToolTipDialog {
 public:
  explicit CEditPromptDlg(HWND parent = nullptr);

  // True when the user confirmed; the entered text is then copied to the
  // destination (when given). The value stays for the next use of this object.
  bool PromptForText(std::u16string* destination, const TextPromptTexts& texts);
  const std::u16string& value() const { return value_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool PreTranslate(const MSG& msg) override;

 private:
  void Confirm();

  CFlatColorButton confirm_;
  CFlatColorButton cancel_;
  std::u16string value_;
  SimpleBlitEdit messageArea_;
  std::u16string title_;
  std::u16string message_;
  std::u16string editTip_;
  std::u16string cancelTip_;
  std::u16string confirmTip_;
  std::u16string* destination_ = nullptr;
};
