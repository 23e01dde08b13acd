// The one look of the program's hover tooltips.
#pragma once

#include <windows.h>

// A tooltip window for the owner that never takes the activation.
HWND CreateToolTipWindow(HWND owner);
// Width 300 pixels; shown after 500 ms, again after 500 ms, for 30 s.
void ApplyToolTipTimings(HWND tooltip);
