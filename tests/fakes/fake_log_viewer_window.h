// Records what the controller did with the log viewer's window.
#pragma once

#include <vector>

#include "app/log_viewer_window.h"

class FakeLogViewerWindow : public LogViewerWindow {
 public:
  bool Create() override {
    ++created;
    return true;
  }
  void Show() override { ++shown; }
  void SaveLogAs() override { ++saves; }
  void Enable(bool enabled) override { enables.push_back(enabled); }

  int created = 0;
  int shown = 0;
  int saves = 0;
  std::vector<bool> enables;
};
