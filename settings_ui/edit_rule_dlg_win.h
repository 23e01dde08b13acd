// The rule edit dialog: program, action, priority hint, enabled flag and
// clock overrides, with pickers for the program. It checks what it collects;
// the rules page applies it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rules/desktop.h"
#include "settings_ui/list_picker.h"
#include "settings_ui/rule_edit_dialogs.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/prompts.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"

struct EditRuleServices {
  Prompts& prompts;
  Desktop& desktop;
  ListPicker& picker;
  std::u16string windowsFolder;
  // The programs recently in the foreground, most recent first.
  std::function<std::vector<std::u16string>()> recentForeground;
};

class CEditRuleDlg : public CToolTipDialog {
 public:
  CEditRuleDlg(HWND parent, EditRuleServices services);

  // Nothing when the user cancelled.
  std::optional<RuleEditResult> Run(const RuleEditRequest& request);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
  // Lays out the rows; the height they need.
  int Layout();
  void ShowClocks();
  void SetProgramText(const std::optional<std::u16string>& text);
  void Browse();
  void Ok();

  EditRuleServices services_;
  RuleEditRequest request_;
  std::optional<RuleEditResult> result_;
  std::u16string coreClock_;
  std::u16string memClock_;
  std::u16string coreShown_;
  std::u16string memShown_;
  RECT lastClient_{};
  int rowsHeight_ = 0;
  SimpleBlitEdit labels_[4];
  SimpleBlitEdit coreDisplay_;
  SimpleBlitEdit memDisplay_;
  CFlatColorButton pickers_[4];
  CFlatColorButton setCore_;
  CFlatColorButton setMem_;
  CFlatColorButton cancel_;
  CFlatColorButton ok_;
};
