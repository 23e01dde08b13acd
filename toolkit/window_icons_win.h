// Gives a window an icon resource of the executable as its big and small
// icon, each at the size the system uses for it.
#pragma once

#include <windows.h>

void SetWindowIcons(HWND window, int iconResourceId);
