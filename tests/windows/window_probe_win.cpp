// A program to put in front of the application's scanner:
//   window_probe.exe window|fullscreen|opengl
// shows a window (a normal one, or a borderless one covering the primary
// monitor), loads opengl32.dll in "opengl" mode, brings itself to the front
// and runs until closed (at most two minutes).
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring mode = commandLine;
  if (mode == L"opengl" && !LoadLibraryW(L"opengl32.dll")) {
    return 3;
  }
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ProbeProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VantreloquinTestProbe";
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  RegisterClassW(&windowClass);

  const bool fullscreen = mode == L"fullscreen";
  const DWORD style = fullscreen ? WS_POPUP | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  const int width = fullscreen ? GetSystemMetrics(SM_CXSCREEN) : 640;
  const int height = fullscreen ? GetSystemMetrics(SM_CYSCREEN) : 480;
  const int position = fullscreen ? 0 : 100;
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Probe", style, position, position,
                                width, height, nullptr, nullptr, instance, nullptr);
  if (!window) {
    return 2;
  }
  // A window manager may have placed it elsewhere; put it where it belongs.
  SetWindowPos(window, HWND_TOP, position, position, width, height, SWP_SHOWWINDOW);
  SetForegroundWindow(window);
  SetTimer(window, 1, 120000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) {
      DestroyWindow(window);
    }
    DispatchMessageW(&message);
  }
  return 0;
}
