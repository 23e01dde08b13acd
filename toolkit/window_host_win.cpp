#include "toolkit/window_host_win.h"

#include "toolkit/window_icons_win.h"

#include <string>

#include "base/wide_win.h"

void Win32WindowHost::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (HWND window = dialog_.hwnd()) {
    PostMessageW(window, message, wParam, lParam);
  }
}

bool Win32WindowHost::StartTimer(std::uintptr_t id, std::uint32_t intervalMs) {
  HWND window = dialog_.hwnd();
  return window && SetTimer(window, id, intervalMs, nullptr) != 0;
}

void Win32WindowHost::StopTimer(std::uintptr_t id) {
  if (HWND window = dialog_.hwnd()) {
    KillTimer(window, id);
  }
}

void Win32WindowHost::Enable(bool enabled) {
  if (HWND window = dialog_.hwnd()) {
    EnableWindow(window, enabled ? TRUE : FALSE);
  }
}

void Win32WindowHost::SetTitle(std::u16string_view title) {
  if (HWND window = dialog_.hwnd()) {
    SetWindowTextW(window, AsWide(std::u16string(title)));
  }
}

void Win32WindowHost::SetIcons(int iconResourceId) {
  SetWindowIcons(dialog_.hwnd(), iconResourceId);
}

void Win32WindowHost::Hide() {
  if (HWND window = dialog_.hwnd()) {
    ShowWindow(window, SW_HIDE);
  }
}

void Win32WindowHost::EndModalRun() {
  dialog_.EndModal(IDOK);
}

std::uint32_t Win32WindowHost::HandleLow32() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(dialog_.hwnd()));
}

void Win32WindowHost::SetTopmost(bool topmost) {
  if (HWND window = dialog_.hwnd()) {
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}
