#include "settings_ui/rule_edit_dialogs_win.h"

#include "settings_ui/bulk_priority_dlg_win.h"

std::optional<RuleEditResult> DialogRuleEditDialogs::EditRule(const RuleEditRequest& request) {
  CEditRuleDlg dialog(owner_, services_);
  return dialog.Run(request);
}

std::optional<std::pair<std::u16string, std::u16string>> DialogRuleEditDialogs::AskBulkPriority() {
  CBulkPriorityDlg dialog(owner_, services_.prompts);
  if (!dialog.Run()) {
    return std::nullopt;
  }
  return std::make_pair(dialog.from(), dialog.to());
}
