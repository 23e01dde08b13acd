#include "toolkit/notify_area_win.h"

#include <shellapi.h>

#include <cstring>

bool Win32NotifyArea::SupportsTrayIcons() {
  // The shell's tray exists from major version 4 on.
  return (GetVersion() & 0xFF) >= 4;
}

bool Win32NotifyArea::Add(const TrayRecord& record) { return Notify(NIM_ADD, record); }

bool Win32NotifyArea::Modify(const TrayRecord& record) { return Notify(NIM_MODIFY, record); }

bool Win32NotifyArea::Delete(const TrayRecord& record) { return Notify(NIM_DELETE, record); }

bool Win32NotifyArea::Notify(DWORD action, const TrayRecord& record) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_.hwnd();
  data.uID = record.id;
  data.uFlags = record.flags;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                             MAKEINTRESOURCEW(record.iconResourceId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  const std::size_t chars = record.tip.size() < 127 ? record.tip.size() : 127;
  std::memcpy(data.szTip, record.tip.data(), chars * sizeof(wchar_t));
  return Shell_NotifyIconW(action, &data) != FALSE;
}
