// The rules page's dialogs on Windows: the rule edit dialog and the bulk
// priority dialog, owned by the settings window.
#pragma once

#include "settings_ui/edit_rule_dlg_win.h"
#include "settings_ui/rule_edit_dialogs.h"

class DialogRuleEditDialogs : public RuleEditDialogs {
 public:
  explicit DialogRuleEditDialogs(EditRuleServices services) : services_(std::move(services)) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  std::optional<RuleEditResult> EditRule(const RuleEditRequest& request) override;
  std::optional<std::pair<std::u16string, std::u16string>> AskBulkPriority() override;

 private:
  EditRuleServices services_;
  HWND owner_ = nullptr;
};
