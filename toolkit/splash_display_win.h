// The splash: a borderless topmost picture that assembles itself from
// streaks of light, fades in, holds, fades out and ends after 7 seconds.
#pragma once

#include <windows.h>

#include <vector>

#include "toolkit/dib_surface_win.h"
#include "toolkit/particles.h"
#include "toolkit/stopwatch_win.h"

class CSplashDisplay {
 public:
  // The picture resource the splash assembles.
  explicit CSplashDisplay(int pictureId);
  // Shows the splash and returns when it has ended.
  void RunSplash();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  void Tick();

  int pictureId_;
  HWND window_ = nullptr;
  DibSurface frame_;
  std::vector<Particle> particles_;
  SplashTimeline timeline_;
  MicrosecondStopwatch fadeStopwatch_;
  MicrosecondStopwatch frameStopwatch_;
  bool holdHidden_ = true;
  bool finished_ = false;
};
