#include "toolkit/flat_color_button_win.h"

#include <commctrl.h>

#include "base/wide_win.h"
#include "toolkit/tooltip_look_win.h"
#include "toolkit/window_text_win.h"

namespace {

// Darkens a colour for the pressed look.
COLORREF Pressed(COLORREF colour) {
  return RGB(GetRValue(colour) * 3 / 4, GetGValue(colour) * 3 / 4, GetBValue(colour) * 3 / 4);
}

}  // namespace

CFlatColorButton::~CFlatColorButton() {
  if (tooltip_) {
    DestroyWindow(tooltip_);
  }
}

void CFlatColorButton::SetColors(COLORREF text, COLORREF face) {
  text_ = text;
  face_ = face;
  if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

void CFlatColorButton::SetCaption(std::u16string_view caption) {
  if (hwnd()) {
    SetWindowText16(hwnd(), caption);
  }
}

std::u16string CFlatColorButton::Caption() const {
  return hwnd() ? GetWindowText16(hwnd()) : std::u16string();
}

void CFlatColorButton::SetToolTip(std::u16string_view text) {
  if (!hwnd()) {
    return;
  }
  tipText_ = text;
  const bool fresh = !tooltip_;
  if (fresh) {
    tooltip_ = CreateToolTipWindow(GetParent(hwnd()));
    if (!tooltip_) {
      return;
    }
  }
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(hwnd());
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
  tool.lpszText = const_cast<wchar_t*>(AsWide(tipText_));
  SendMessageW(tooltip_, fresh ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW, 0,
               reinterpret_cast<LPARAM>(&tool));
  ApplyToolTipTimings(tooltip_);
}

void CFlatColorButton::Draw(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  HBRUSH face = CreateSolidBrush(pressed ? Pressed(face_) : face_);
  FillRect(item.hDC, &item.rcItem, face);
  DeleteObject(face);

  const std::u16string caption = Caption();
  RECT area = item.rcItem;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, disabled ? GetSysColor(COLOR_GRAYTEXT) : text_);
  HGDIOBJ oldFont = SelectObject(
      item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  DrawTextW(item.hDC, AsWide(caption), -1, &area,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, oldFont);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(item.hDC, &focus);
  }
}
