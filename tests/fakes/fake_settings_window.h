// Records what the controller did with its settings window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_window.h"

class FakeSettingsWindow : public SettingsWindow {
 public:
  bool Create() override {
    ++created;
    return true;
  }
  void Show() override {
    ++shown;
    foreground = true;
    if (whileShowing) {
      whileShowing();
    }
  }
  bool IsForeground() const override { return foreground; }
  void BringToFront() override { ++broughtToFront; }
  void RefreshDetectedGpus() override { ++gpuRefreshes; }
  void RefreshRuleList(std::u16string_view name) override { ruleListRefreshes.emplace_back(name); }
  void RefreshGeneralTab() override { ++generalRefreshes; }
  std::optional<std::vector<std::u16string>> CopySelection() override { return selection; }

  int created = 0;
  int shown = 0;
  int broughtToFront = 0;
  int gpuRefreshes = 0;
  int generalRefreshes = 0;
  std::optional<std::vector<std::u16string>> selection;
  bool foreground = false;
  std::vector<std::u16string> ruleListRefreshes;
  std::function<void()> whileShowing;
};
