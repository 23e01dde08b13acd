#include "app/controller_window_win.h"

#include "app/controller.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kIconIds[3] = {IDI_CLOCK_FREE, IDI_CLOCK_HELD, IDI_CLOCK_FORCED_DOWN};
constexpr UINT kTrayCallbackMessage = 0x800A;

}  // namespace

ControllerWindow::ControllerWindow() {
  for (int i = 0; i < 3; ++i) {
    icons_[i] =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconIds[i]),
                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  }
}

HICON ControllerWindow::Icon(int resourceId) const {
  for (int i = 0; i < 3; ++i) {
    if (kIconIds[i] == resourceId) {
      return icons_[i];
    }
  }
  return nullptr;
}

BOOL ControllerWindow::OnInitDialog() {
  controller_->RunStartupSequence();
  return TRUE;
}

bool ControllerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    controller_->tray.OnTaskbarCreated();
    return true;
  }
  if (message == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA) {
    controller_->tray.OnWorkAreaChanged();
    return false;  // the platform's own handling too
  }
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      // The template is visible; the window must never be shown.
      reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
      return false;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        ShowWindow(hwnd(), SW_HIDE);
        return true;
      }
      return false;
    case WM_CLOSE:
      controller_->ShutdownProgram();
      return true;
    case WM_TIMER:
      controller_->OnTimer(wParam);
      return true;
    case kTrayCallbackMessage:
      controller_->OnTrayMessage(static_cast<std::uint32_t>(wParam),
                                 static_cast<std::uint32_t>(lParam & 0xFFFF));
      return true;
    case WM_COMMAND:
      return HIWORD(wParam) == 0 && controller_->OnCommand(LOWORD(wParam));
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(Icon(IDI_CLOCK_FREE));
      return true;
    default:
      return false;
  }
}

bool ControllerWindow::PreTranslate(const MSG& msg) {
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
}

void ControllerWindow::OnDestroyWindow() {
  controller_->OnDestroy();
}
