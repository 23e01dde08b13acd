#include "toolkit/window_icons_win.h"

void SetWindowIcons(HWND window, int iconResourceId) {
  if (!window) {
    return;
  }
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto load = [&](int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconResourceId), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_SHARED));
  };
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(load(SM_CXICON, SM_CYICON)));
  SendMessageW(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(load(SM_CXSMICON, SM_CYSMICON)));
}
