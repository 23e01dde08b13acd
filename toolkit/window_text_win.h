// A window's text as UTF-16, both ways.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::u16string GetWindowText16(HWND window);
void SetWindowText16(HWND window, std::u16string_view text);
