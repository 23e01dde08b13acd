#include "toolkit/flat_color_button_win.h"

#include <commctrl.h>

#include <algorithm>

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

void CFlatColorButton::SetCheckBox(bool isCheckBox) {
  isCheckBox_ = isCheckBox;
  if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

void CFlatColorButton::SetCheck(bool checked) {
  if (checked_ != checked && hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
  checked_ = checked;
}

void CFlatColorButton::Draw(const DRAWITEMSTRUCT& item) {
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  HBRUSH face = CreateSolidBrush(pressed ? Pressed(face_) : face_);
  FillRect(item.hDC, &item.rcItem, face);
  DeleteObject(face);

  const std::u16string caption = Caption();
  RECT area = item.rcItem;
  const COLORREF textColor = disabled ? GetSysColor(COLOR_GRAYTEXT) : text_;
  if (isCheckBox_) {
    // A square the height of half the row, with a tick when checked.
    const int side = std::max(8L, (area.bottom - area.top) / 2);
    RECT box{area.left + side / 2, area.top + (area.bottom - area.top - side) / 2, 0, 0};
    box.right = box.left + side;
    box.bottom = box.top + side;
    HPEN pen = CreatePen(PS_SOLID, 2, textColor);
    HGDIOBJ oldPen = SelectObject(item.hDC, pen);
    HGDIOBJ oldBrush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
    Rectangle(item.hDC, box.left, box.top, box.right, box.bottom);
    if (checked_) {
      const POINT tick[] = {{box.left + side / 5, box.top + side / 2},
                            {box.left + side * 2 / 5, box.bottom - side / 5},
                            {box.right - side / 5, box.top + side / 5}};
      Polyline(item.hDC, tick, 3);
    }
    SelectObject(item.hDC, oldBrush);
    SelectObject(item.hDC, oldPen);
    DeleteObject(pen);
    area.left = box.right + side / 2;
  }
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, textColor);
  HGDIOBJ oldFont = SelectObject(
      item.hDC, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  DrawTextW(item.hDC, AsWide(caption), -1, &area,
            (isCheckBox_ ? DT_LEFT : DT_CENTER) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(item.hDC, oldFont);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(item.hDC, &focus);
  }
}
