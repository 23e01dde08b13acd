// The "Rules" page: the live rule table as a coloured list and the buttons
// ADD, DELETE, EDIT, Undo and Bulk Priority.
#pragma once

#include "settings_ui/rules_editor_tab_model.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/sorted_list_ctrl_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CRulesEditorTab : public CToolTipDialog {
 public:
  explicit CRulesEditorTab(RulesEditorSources sources);

  RulesEditorTabModel& model() { return model_; }
  void RefreshRuleList(std::u16string_view name) { model_.RefreshRuleList(name); }
  bool PreTranslate(const MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Layout();
  void ShowModel();

  RulesEditorTabModel model_;
  CSortedListCtrl list_;
  CFlatColorButton add_;
  CFlatColorButton delete_;
  CFlatColorButton edit_;
  CFlatColorButton undo_;
  CFlatColorButton bulk_;
  bool showing_ = false;
};
