// Asks for a priority hint to change from and one to change to; Ok checks
// both before the dialog may end.
#pragma once

#include <string>

#include "toolkit/flat_color_button_win.h"
#include "toolkit/prompts.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CBulkPriorityDlg : public CToolTipDialog {
 public:
  CBulkPriorityDlg(HWND parent, Prompts& prompts);

  // True when the user confirmed valid texts.
  bool Run();
  const std::u16string& from() const { return from_; }
  const std::u16string& to() const { return to_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  Prompts& prompts_;
  SimpleBlitEdit explanation_;
  SimpleBlitEdit arrow_;
  CFlatColorButton cancel_;
  CFlatColorButton ok_;
  std::u16string from_;
  std::u16string to_;
};
