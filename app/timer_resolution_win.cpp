#include "app/timer_resolution_win.h"

#include <windows.h>

#include <timeapi.h>

WinmmTimerResolution::~WinmmTimerResolution() {
  if (grantedPeriod_ != 0) {
    timeEndPeriod(grantedPeriod_);
  }
}

bool WinmmTimerResolution::Request() {
  if (grantedPeriod_ != 0) {
    return true;
  }
  TIMECAPS caps{};
  if (timeGetDevCaps(&caps, sizeof caps) != MMSYSERR_NOERROR) {
    return false;
  }
  const unsigned period = caps.wPeriodMin > 1 ? caps.wPeriodMin : 1;
  if (timeBeginPeriod(period) != TIMERR_NOERROR) {
    return false;
  }
  grantedPeriod_ = period;
  return true;
}
