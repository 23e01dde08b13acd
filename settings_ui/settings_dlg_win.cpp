#include "settings_ui/settings_dlg_win.h"

#include "resources/resource_ids.h"

CSettingsDlg::CSettingsDlg(HWND parent, SettingsPageSources sources)
    : CTabbedSettingsDlg(IDD_SETTINGS, parent),
      ruleDialogs_(EditRuleServices{prompts_, sources.desktop, picker_, sources.windowsFolder,
                                    sources.recentForeground}),
      generalTab(GeneralTabServices{sources.settings, sources.settingsLock, prompts_,
                                    sources.publishClockState, sources.taskQueue,
                                    sources.isTaskScheduled, sources.serveTaskQueue,
                                    sources.desktop, picker_, nullptr}),
      gpuTab(sources.settings, sources.settingsLock, sources.sharedBlock, prompts_),
      rulesTab(RulesEditorSources{sources.settings, sources.settingsLock, prompts_,
                                  sources.modalGuard, ruleDialogs_}) {}

void CSettingsDlg::FillTabs(std::vector<TabEntry>& tabs) {
  // Prompts and dialogs of the pages centre on this window.
  prompts_.SetOwner(hwnd());
  picker_.SetOwner(hwnd());
  ruleDialogs_.SetOwner(hwnd());
  generalTab.CreateModeless(hwnd());
  gpuTab.CreateModeless(hwnd());
  rulesTab.CreateModeless(hwnd());
  tabs.push_back({u"General", &generalTab});
  tabs.push_back({u"[ADL] GPU-Picker", &gpuTab});
  tabs.push_back({u"Rules", &rulesTab});
}
