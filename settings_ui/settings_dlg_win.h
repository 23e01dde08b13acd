// The settings window: the "General", "[ADL] GPU-Picker" and "Rules" pages
// in a tabbed window owned by the controller.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/critical_section_wrapper.h"
#include "app/modal_guard.h"
#include "config/general_settings.h"
#include "ipc/shared_block.h"
#include "rules/desktop.h"
#include "settings_ui/general_settings_tab_win.h"
#include "settings_ui/gpu_selection_dlg_win.h"
#include "settings_ui/list_selection_dlg_win.h"
#include "settings_ui/rule_edit_dialogs_win.h"
#include "settings_ui/rules_editor_tab_win.h"
#include "settings_ui/tabbed_settings_dlg_win.h"
#include "toolkit/dialog_prompts_win.h"

// What the pages work on: the controller's settings and the desktop.
struct SettingsPageSources {
  CGeneralSettings_ConfigFile& settings;
  CriticalSection_Wrapper& settingsLock;
  ModalGuard& modalGuard;
  Desktop& desktop;
  std::u16string windowsFolder;
  // The programs recently in the foreground, most recent first.
  std::function<std::vector<std::u16string>()> recentForeground;
  SharedBlock& sharedBlock;
  // Publishes the clock state at once (a new blocking method).
  std::function<void()> publishClockState;
  // The logon-task requests and their state, as the General page needs them.
  std::vector<std::uint8_t>& taskQueue;
  std::function<bool(bool refresh)> isTaskScheduled;
  std::function<void()> serveTaskQueue;
};

class CSettingsDlg : public CTabbedSettingsDlg {
  // Constructed before the pages, which keep references to them.
  DialogPrompts prompts_;
  DialogListPicker picker_;
  DialogRuleEditDialogs ruleDialogs_;

 public:
  CSettingsDlg(HWND parent, SettingsPageSources sources);

  CGeneralSettingsTabDlg generalTab;
  CGPUSelectionDlg gpuTab;
  CRulesEditorTab rulesTab;

 protected:
  void FillTabs(std::vector<TabEntry>& tabs) override;
};
