// The About window: streaks of light converging on its centre behind an
// outlined three-colour text and two pictures. Created hidden; shown and
// hidden any number of times.
#pragma once

#include <string>

#include "toolkit/dib_surface_win.h"
#include "toolkit/flat_color_button_win.h"
#include "toolkit/gdi_font_win.h"
#include "toolkit/particles.h"
#include "toolkit/stopwatch_win.h"
#include "toolkit/tooltip_dialog_win.h"

class CAboutDlg : public CToolTipDialog {
 public:
  // The first text block's first line ("<product> x64 <version>") and the
  // legal notice of line 5.
  CAboutDlg(HWND parent, std::u16string titleLine, std::u16string buildStamp,
            std::u16string legalNotice);

  // Starts the animation and fades the window in, centred on the monitor
  // under the mouse.
  void ShowAbout();
  // Stops the animation and fades the window out.
  void HideAbout();
  bool AnimationRuns() const { return timerRuns_; }
  bool PreTranslate(const MSG& msg) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  SIZE DrawingArea() const;
  void Frame();
  void DrawText(const std::u16string& block, COLORREF colour, int dx, int dy, const RECT& area);
  void DrawPicture(const PixelBuffer& picture, int x, int y, int width, int height);

  std::u16string blocks_[3];
  PixelBuffer corner_;
  PixelBuffer banner_;
  DibSurface frame_;
  AboutParticles particles_;
  GDIFont font_;
  int fontHeight_ = 15;
  MicrosecondStopwatch stopwatch_;
  bool timerRuns_ = false;
  CFlatColorButton ok_;
};
