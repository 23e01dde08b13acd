// Timer resolution through the multimedia timer service; the period is
// given back when the object ends.
#pragma once

#include "app/timer_resolution.h"

class WinmmTimerResolution : public TimerResolution {
 public:
  WinmmTimerResolution() = default;
  ~WinmmTimerResolution() override;
  WinmmTimerResolution(const WinmmTimerResolution&) = delete;
  WinmmTimerResolution& operator=(const WinmmTimerResolution&) = delete;

  // Asks for the finest period the service offers (at least 1 ms), once;
  // later calls keep the period already granted.
  bool Request() override;

 private:
  unsigned grantedPeriod_ = 0;
};
