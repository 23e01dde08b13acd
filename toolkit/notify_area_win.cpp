#include "toolkit/notify_area_win.h"

#include <shellapi.h>

#include <cstring>

bool Win32NotifyArea::SupportsTrayIcons() {
  // The shell's tray exists from major version 4 on.
  return (GetVersion() & 0xFF) >= 4;
}

bool Win32NotifyArea::Add(const TrayRecord& record) {
  return Notify(NIM_ADD, record);
}

bool Win32NotifyArea::Modify(const TrayRecord& record) {
  return Notify(NIM_MODIFY, record);
}

bool Win32NotifyArea::Delete(const TrayRecord& record) {
  return Notify(NIM_DELETE, record);
}

bool Win32NotifyArea::Notify(DWORD action, const TrayRecord& record) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_.hwnd();
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(record.iconResourceId), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  const std::size_t chars = record.tip.size() < 127 ? record.tip.size() : 127;
  std::memcpy(data.szTip, record.tip.data(), chars * sizeof(wchar_t));
  return Shell_NotifyIconW(action, &data) != FALSE;
}

bool Win32NotifyArea::ShowMenu(std::uint32_t menuId, const std::vector<std::uint32_t>& disabled) {
  HWND target = owner_.hwnd();
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId & 0xFFFF));
  if (!target || !menu) {
    return false;
  }
  HMENU popup = GetSubMenu(menu, 0);
  if (!popup) {
    DestroyMenu(menu);
    return false;
  }
  SetMenuDefaultItem(popup, 0, TRUE);
  for (std::uint32_t command : disabled) {
    EnableMenuItem(popup, command, MF_BYCOMMAND | MF_GRAYED);
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  SetForegroundWindow(target);
  TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, target, nullptr);
  // Lets the menu close when the user clicks elsewhere.
  PostMessageW(target, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return true;
}
