// Records what the controller did with the About window.
#pragma once

#include "app/about_window.h"

class FakeAboutWindow : public AboutWindow {
 public:
  bool Create() override {
    ++created;
    return true;
  }
  void Show() override { ++shown; }

  int created = 0;
  int shown = 0;
};
