// Lays controls side by side across their parent's full client width.
#pragma once

#include <windows.h>

#include <initializer_list>

// A negative top or height keeps the controls' own (their smallest top,
// their largest height).
void LayoutButtonRow(HWND parent, int top, int height, std::initializer_list<HWND> controls);
