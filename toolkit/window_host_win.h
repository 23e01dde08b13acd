// The window seam over a dialog window.
#pragma once

#include "app/window_host.h"
#include "toolkit/dialog_window_win.h"

class Win32WindowHost : public WindowHost {
 public:
  explicit Win32WindowHost(DialogWindow& dialog) : dialog_(dialog) {}

  void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  bool StartTimer(std::uintptr_t id, std::uint32_t intervalMs) override;
  void StopTimer(std::uintptr_t id) override;
  void Enable(bool enabled) override;
  void SetTitle(std::u16string_view title) override;
  void SetIcons(int iconResourceId) override;
  void Hide() override;
  void EndModalRun() override;
  std::uint32_t HandleLow32() const override;
  void SetTopmost(bool topmost) override;

 private:
  DialogWindow& dialog_;
};
