// The settings window: the "General", "[ADL] GPU-Picker" and "Rules" pages
// in a tabbed window owned by the controller.
#pragma once

#include <vector>

#include "settings_ui/tabbed_settings_dlg_win.h"

class CSettingsDlg : public CTabbedSettingsDlg {
 public:
  explicit CSettingsDlg(HWND parent);

  CToolTipDialog generalTab;
  CToolTipDialog gpuTab;
  CToolTipDialog rulesTab;

 protected:
  void FillTabs(std::vector<TabEntry>& tabs) override;
};
