// Records what the controller did with its settings window.
#pragma once

#include <functional>

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

  int created = 0;
  int shown = 0;
  int broughtToFront = 0;
  int gpuRefreshes = 0;
  bool foreground = false;
  std::function<void()> whileShowing;
};
