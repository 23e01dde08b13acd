// The settings window behind the controller's seam: built when the
// controller asks for it, owned by the controller's window.
#pragma once

#include <functional>
#include <memory>

#include "app/settings_window.h"
#include "settings_ui/settings_dlg_win.h"
#include "toolkit/dialog_window_win.h"

class Win32SettingsWindow : public SettingsWindow {
 public:
  // The sources are asked for when the window is created.
  Win32SettingsWindow(DialogWindow& owner, std::function<SettingsPageSources()> sources)
      : owner_(owner), sources_(std::move(sources)) {}

  bool Create() override;
  void Show() override;
  bool IsForeground() const override;
  void BringToFront() override;
  void RefreshDetectedGpus() override;
  void RefreshRuleList(std::u16string_view name) override;
  void RefreshGeneralTab() override;
  std::optional<std::vector<std::u16string>> CopySelection() override;

  CSettingsDlg* dialog() { return dialog_.get(); }

 private:
  DialogWindow& owner_;
  std::function<SettingsPageSources()> sources_;
  std::unique_ptr<CSettingsDlg> dialog_;
};
