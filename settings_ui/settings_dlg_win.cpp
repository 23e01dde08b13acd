#include "settings_ui/settings_dlg_win.h"

#include "resources/resource_ids.h"

CSettingsDlg::CSettingsDlg(HWND parent)
    : CTabbedSettingsDlg(IDD_SETTINGS, parent),
      generalTab(IDD_GENERAL_TAB, nullptr),
      gpuTab(IDD_GPU_TAB, nullptr),
      rulesTab(IDD_RULES_TAB, nullptr) {}

void CSettingsDlg::FillTabs(std::vector<TabEntry>& tabs) {
  generalTab.CreateModeless(hwnd());
  gpuTab.CreateModeless(hwnd());
  rulesTab.CreateModeless(hwnd());
  tabs.push_back({u"General", &generalTab});
  tabs.push_back({u"[ADL] GPU-Picker", &gpuTab});
  tabs.push_back({u"Rules", &rulesTab});
}
