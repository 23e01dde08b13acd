#include "app/about_window_win.h"

#include "app/product.h"
#include "base/text.h"

bool Win32AboutWindow::Create() {
  dialog_ = std::make_unique<CAboutDlg>(owner_.hwnd(),
                                        u"Vantreloquin x64 " + std::u16string(kProductVersion),
                                        Utf8ToUtf16(__DATE__ " " __TIME__),
                                        u"Copyright (c) 2026 Ostrafelmoria. All rights reserved.");
  if (!dialog_->CreateModeless()) {
    dialog_.reset();
    return false;
  }
  ShowWindow(dialog_->hwnd(), SW_HIDE);
  return true;
}

void Win32AboutWindow::Show() {
  if (dialog_) {
    dialog_->ShowAbout();
    SetForegroundWindow(dialog_->hwnd());
    SetFocus(dialog_->hwnd());
  }
}
