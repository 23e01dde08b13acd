#include "toolkit/window_text_win.h"

#include "base/wide_win.h"

std::u16string GetWindowText16(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return FromWide(text);
}

void SetWindowText16(HWND window, std::u16string_view text) {
  const std::u16string copy(text);
  SetWindowTextW(window, AsWide(copy));
}
