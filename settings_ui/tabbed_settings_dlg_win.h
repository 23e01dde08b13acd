// A resizable window whose whole client area is a tab control with one page
// per tab. Closing or minimising only hides it; Enter and Escape never close
// it but still reach the page.
#pragma once

#include <string>
#include <vector>

#include "toolkit/tab_control_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CTabbedSettingsDlg : public CToolTipDialog {
 public:
  struct TabEntry {
    std::u16string text;
    CToolTipDialog* page;
  };

  CTabbedSettingsDlg(int templateId, HWND parent);

  // Makes the page of the tab the visible one; false for no such tab.
  bool ShowTab(int index);
  int CurrentTab() const { return current_; }
  bool PreTranslate(const MSG& msg) override;

 protected:
  // Creates the pages (children of this window) and appends their tabs.
  virtual void FillTabs(std::vector<TabEntry>& tabs) = 0;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Layout();

  std::vector<TabEntry> tabs_;
  CEnTabCtrl tabControl_;
  int current_ = -1;
};
