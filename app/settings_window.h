// The settings window as the controller uses it: created hidden at start,
// shown by the tray, kept in front across topmost changes, and told to
// follow the GPUs the ADL helper lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SettingsWindow {
 public:
  virtual ~SettingsWindow() = default;
  // Creates the window hidden, owned by the controller's window.
  virtual bool Create() = 0;
  // Fades the window in and makes it the foreground window with the focus.
  virtual void Show() = 0;
  virtual bool IsForeground() const = 0;
  virtual void BringToFront() = 0;
  virtual void RefreshDetectedGpus() = 0;
  // Redraws the rules list and selects the rule of the name.
  virtual void RefreshRuleList(std::u16string_view name) = 0;
  // Shows the General page's settings and the logon task's state afresh.
  virtual void RefreshGeneralTab() = 0;
  // The GPU page's copy of the selected GPUs; the caller holds the settings
  // lock. Before the page exists, nothing.
  virtual std::optional<std::vector<std::u16string>> CopySelection() = 0;
};
