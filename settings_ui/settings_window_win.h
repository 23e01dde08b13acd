// The settings window behind the controller's seam: built when the
// controller asks for it, owned by the controller's window.
#pragma once

#include <memory>

#include "app/settings_window.h"
#include "settings_ui/settings_dlg_win.h"
#include "toolkit/dialog_window_win.h"

class Win32SettingsWindow : public SettingsWindow {
 public:
  explicit Win32SettingsWindow(DialogWindow& owner) : owner_(owner) {}

  bool Create() override;
  void Show() override;
  bool IsForeground() const override;
  void BringToFront() override;
  void RefreshDetectedGpus() override;

  CSettingsDlg* dialog() { return dialog_.get(); }

 private:
  DialogWindow& owner_;
  std::unique_ptr<CSettingsDlg> dialog_;
};
