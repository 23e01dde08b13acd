// The controller's dialog (template 102): never visible, swallows Enter and
// Escape, and forwards its life to the controller.
#pragma once

#include "toolkit/dialog_window_win.h"

class CVantreloquinDlg;

class ControllerWindow : public DialogWindow {
 public:
  ControllerWindow();
  void Bind(CVantreloquinDlg& controller) { controller_ = &controller; }

  // The clock-state icons 128, 129 and 130.
  HICON Icon(int resourceId) const;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool PreTranslate(const MSG& msg) override;
  void OnDestroyWindow() override;

 private:
  CVantreloquinDlg* controller_ = nullptr;
  // The shell's broadcast after it restarted.
  const UINT taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  HICON icons_[3] = {};
};
