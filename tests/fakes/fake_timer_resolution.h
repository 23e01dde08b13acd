#pragma once

#include "app/timer_resolution.h"

class FakeTimerResolution : public TimerResolution {
 public:
  bool Request() override {
    ++requests;
    return succeeds;
  }
  bool succeeds = true;
  int requests = 0;
};
