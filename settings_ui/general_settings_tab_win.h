// The "General" page: 30-pixel rows of check boxes, choice boxes, buttons
// and value displays that act on the settings at once, scrolling when the
// window is shorter than its content.
#pragma once

#include <map>
#include <memory>

#include "settings_ui/general_tab.h"
#include "settings_ui/page_scroll.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/simple_blit_edit_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CGeneralSettingsTabDlg : public CToolTipDialog {
 public:
  explicit CGeneralSettingsTabDlg(GeneralTabServices services);
  ~CGeneralSettingsTabDlg() override;

  GeneralTabModel& model() { return model_; }
  // Shows the settings as they are now (after a change made elsewhere).
  void Refresh();

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void LayoutGeneralTab();
  void Scrolled(int moved);
  void ShowView();

  GeneralTabModel model_;
  PageScroll scroll_;
  std::map<int, std::unique_ptr<CFlatColorButton>> buttons_;
  std::map<int, std::unique_ptr<SimpleBlitEdit>> texts_;
  HBRUSH background_ = nullptr;
};
