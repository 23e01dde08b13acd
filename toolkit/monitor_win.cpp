#include "toolkit/monitor_win.h"

RECT MonitorRectUnderCursor() {
  RECT rect{0, 0, 1024, 768};
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor)) {
    rect = monitor.rcMonitor;
  }
  return rect;
}
