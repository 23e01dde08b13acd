// The full rectangle (not the work area) of the monitor nearest to the
// mouse cursor; 0, 0, 1024, 768 when the lookup fails.
#pragma once

#include <windows.h>

RECT MonitorRectUnderCursor();
