// The shell's notification area for one window's icons.
#pragma once

#include "toolkit/dialog_window_win.h"
#include "toolkit/system_tray.h"

class Win32NotifyArea : public NotifyArea {
 public:
  // Callbacks go to the dialog's window.
  explicit Win32NotifyArea(DialogWindow& owner) : owner_(owner) {}

  bool SupportsTrayIcons() override;
  bool Add(const TrayRecord& record) override;
  bool Modify(const TrayRecord& record) override;
  bool Delete(const TrayRecord& record) override;
  bool ShowMenu(std::uint32_t menuId, const std::vector<std::uint32_t>& disabled) override;

 private:
  bool Notify(DWORD action, const TrayRecord& record);

  DialogWindow& owner_;
};
