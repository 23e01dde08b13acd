// What portable code may do to one of the program's windows. The Win32
// implementation wraps a window handle; tests use a recording fake.
#pragma once

#include <cstdint>
#include <string_view>

namespace ui {
inline constexpr std::uint32_t kTimerMessage = 0x0113;  // WM_TIMER
}  // namespace ui

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Queues a message for the window's thread and returns at once.
  virtual void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual bool StartTimer(std::uintptr_t id, std::uint32_t intervalMs) = 0;
  virtual void StopTimer(std::uintptr_t id) = 0;
  virtual void Enable(bool enabled) = 0;
  virtual void SetTitle(std::u16string_view title) = 0;
  // Gives the window the icon resource as its big and small icon.
  virtual void SetIcons(int iconResourceId) = 0;
  virtual void Hide() = 0;
  // Ends the window's modal run; the window is destroyed after it.
  virtual void EndModalRun() = 0;
  // Keeps the window above all non-topmost windows, or not, without moving
  // or showing it.
  virtual void SetTopmost(bool topmost) = 0;
  // The low 32 bits of the window handle, as other processes see it.
  virtual std::uint32_t HandleLow32() const = 0;
};
