#include "helpers/helper_host_win.h"

#include <cstdint>

#include "base/wide_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"Vantreloquin_HelperWindow";

}  // namespace

LRESULT CALLBACK Win32HelperHost::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<Win32HelperHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && host && host->endSession_) {
        host->endSession_();
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

Win32HelperHost::~Win32HelperHost() {
  ForgetWatched();
  if (window_) {
    DestroyWindow(window_);
  }
  if (closeEvent_) {
    CloseHandle(closeEvent_);
  }
}

void Win32HelperHost::RequestClose() {
  SetEvent(closeEvent_);
}

bool Win32HelperHost::CreateHelperWindow(const std::u16string& title) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
  // Never shown; top-level so that the system's close requests reach it.
  window_ = CreateWindowExW(0, kWindowClass, AsWide(title), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                            nullptr, windowClass.hInstance, this);
  return window_ != nullptr;
}

std::uint32_t Win32HelperHost::ProcessId() const {
  return GetCurrentProcessId();
}

std::uint32_t Win32HelperHost::Window() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window_));
}

bool Win32HelperHost::ProcessRuns(std::uint32_t processId) {
  if (processId == 0) {
    return false;
  }
  if (processId != watchedId_) {
    ForgetWatched();
    watchedId_ = processId;
  }
  if (!watched_) {
    watched_ = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!watched_) {
      // A process of another account or elevation still runs; no process
      // with the id gives ERROR_INVALID_PARAMETER.
      return GetLastError() == ERROR_ACCESS_DENIED;
    }
  }
  return WaitForSingleObject(watched_, 0) == WAIT_TIMEOUT;
}

std::uint64_t Win32HelperHost::NowMs() {
  return GetTickCount64();
}

bool Win32HelperHost::WaitForNextPass(std::uint32_t milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (!closeRequested_) {
    if (WaitForSingleObject(closeEvent_, 0) == WAIT_OBJECT_0) {
      closeRequested_ = true;
      return false;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        closeRequested_ = true;
        return false;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) {
      return true;
    }
    MsgWaitForMultipleObjectsEx(1, &closeEvent_, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
  return false;
}

void Win32HelperHost::ForgetWatched() {
  if (watched_) {
    CloseHandle(watched_);
    watched_ = nullptr;
  }
  watchedId_ = 0;
}
