#include "toolkit/splash_display_win.h"

#include <commctrl.h>

#include <ctime>

#include "base/crt_random.h"
#include "toolkit/monitor_win.h"
#include "toolkit/tooltip_dialog_win.h"

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFramePeriodMs = 10;
constexpr UINT_PTR kSubclassId = 1;
constexpr DWORD kEndPauseMs = 100;

}  // namespace

CSplashDisplay::CSplashDisplay(int pictureId) : pictureId_(pictureId) {}

void CSplashDisplay::RunSplash() {
  const RECT monitor = MonitorRectUnderCursor();
  SeedCrtRandom(static_cast<std::uint32_t>(std::time(nullptr)));
  if (!frame_.Create(kSplashWidth, kSplashHeight)) {
    return;
  }
  const PixelBuffer picture = LoadPicture(pictureId_);
  particles_ =
      ParticlesForPicture(picture.view(), kSplashWidth, kSplashHeight, kSplashLo, kSplashHi);
  const int x = monitor.left + (monitor.right - monitor.left) / 2 - kSplashWidth / 2;
  const int y = monitor.top + (monitor.bottom - monitor.top) / 2 - kSplashHeight / 2;
  // Created hidden: the first fade tick shows it at alpha 0.
  window_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, x, y, kSplashWidth,
                            kSplashHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) {
    return;
  }
  SetWindowSubclass(window_, &CSplashDisplay::WindowProc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  SetTimer(window_, kFrameTimer, kFramePeriodMs, nullptr);
  while (!finished_) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) {
      break;
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (window_) {
    DestroyWindow(window_);
    window_ = nullptr;
  }
  // The frames are over: give back the room kept for drawing them.
  ReleaseParticleScratch();
}

void CSplashDisplay::Tick() {
  if (finished_) {
    return;
  }
  if (const auto fade =
          timeline_.StepFade(fadeStopwatch_.Read(), IsWindowVisible(window_) != FALSE)) {
    if (fade->show) {
      holdHidden_ = false;
      ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    if (fade->applyAlpha) {
      ApplyAlpha(window_, fade->alpha);
    }
  }
  const std::uint64_t elapsed = frameStopwatch_.Read();
  DrawSplashBackground(frame_.view());
  StepAndDrawParticles(particles_, static_cast<std::int64_t>(elapsed), frame_.view());
  GdiFlush();
  if (timeline_.AddFrameTime(elapsed)) {
    finished_ = true;
    KillTimer(window_, kFrameTimer);
    Sleep(kEndPauseMs);
    DestroyWindow(window_);
    window_ = nullptr;
    return;
  }
  if (HDC dc = GetDC(window_)) {
    frame_.CopyTo(dc);
    ReleaseDC(window_, dc);
  }
}

LRESULT CALLBACK CSplashDisplay::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
  auto* splash = reinterpret_cast<CSplashDisplay*>(self);
  switch (message) {
    case WM_TIMER:
      if (wParam == kFrameTimer) {
        splash->Tick();
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      splash->frame_.CopyTo(reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      splash->frame_.CopyTo(dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_WINDOWPOSCHANGING:
      if (splash->holdHidden_) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &CSplashDisplay::WindowProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}
