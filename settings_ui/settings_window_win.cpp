#include "settings_ui/settings_window_win.h"

bool Win32SettingsWindow::Create() {
  dialog_ = std::make_unique<CSettingsDlg>(owner_.hwnd(), sources_());
  if (!dialog_->CreateModeless()) {
    dialog_.reset();
    return false;
  }
  ShowWindow(dialog_->hwnd(), SW_HIDE);
  return true;
}

void Win32SettingsWindow::Show() {
  if (!dialog_) {
    return;
  }
  dialog_->ShowFaded(SW_SHOW);
  BringToFront();
}

bool Win32SettingsWindow::IsForeground() const {
  return dialog_ && GetForegroundWindow() == dialog_->hwnd();
}

void Win32SettingsWindow::BringToFront() {
  if (dialog_) {
    SetForegroundWindow(dialog_->hwnd());
    SetFocus(dialog_->hwnd());
  }
}

void Win32SettingsWindow::RefreshDetectedGpus() {
  if (dialog_) {
    dialog_->gpuTab.RefreshDetectedGpus();
  }
}

void Win32SettingsWindow::RefreshRuleList(std::u16string_view name) {
  if (dialog_ && dialog_->rulesTab.hwnd()) {
    dialog_->rulesTab.RefreshRuleList(name);
  }
}

void Win32SettingsWindow::RefreshGeneralTab() {
  if (dialog_) {
    dialog_->generalTab.Refresh();
  }
}

std::optional<std::vector<std::u16string>> Win32SettingsWindow::CopySelection() {
  if (!dialog_) {
    return std::nullopt;
  }
  return dialog_->gpuTab.CopySelection();
}
