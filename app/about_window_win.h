// The About window behind the controller's seam.
#pragma once

#include <memory>

#include "app/about_window.h"
#include "toolkit/about_dlg_win.h"
#include "toolkit/dialog_window_win.h"

class Win32AboutWindow : public AboutWindow {
 public:
  explicit Win32AboutWindow(DialogWindow& owner) : owner_(owner) {}

  bool Create() override;
  void Show() override;

 private:
  DialogWindow& owner_;
  std::unique_ptr<CAboutDlg> dialog_;
};
