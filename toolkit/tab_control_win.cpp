#include "toolkit/tab_control_win.h"

#include <commctrl.h>

#include <string>

#include "base/wide_win.h"

namespace {

constexpr COLORREF kTabFace = RGB(50, 50, 50);
constexpr COLORREF kChosenTabFace = RGB(90, 90, 90);
constexpr COLORREF kTabText = RGB(255, 255, 255);

}  // namespace

void CEnTabCtrl::InsertTab(int index, std::u16string_view text) {
  std::u16string copy(text);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(AsWide(copy));
  SendMessageW(hwnd(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

int CEnTabCtrl::TabCount() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETITEMCOUNT, 0, 0));
}

void CEnTabCtrl::Select(int index) {
  SendMessageW(hwnd(), TCM_SETCURSEL, index, 0);
}

int CEnTabCtrl::Selected() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}

int CEnTabCtrl::Focused() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETCURFOCUS, 0, 0));
}

RECT CEnTabCtrl::PageArea(HWND parent) const {
  RECT area{};
  GetWindowRect(hwnd(), &area);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  InflateRect(&area, 1, 1);
  return area;
}

void CEnTabCtrl::Draw(const DRAWITEMSTRUCT& item) {
  const bool chosen = static_cast<int>(item.itemID) == Selected();
  HBRUSH face = CreateSolidBrush(chosen ? kChosenTabFace : kTabFace);
  FillRect(item.hDC, &item.rcItem, face);
  DeleteObject(face);
  wchar_t text[128] = {};
  TCITEMW tab{};
  tab.mask = TCIF_TEXT;
  tab.pszText = text;
  tab.cchTextMax = 128;
  SendMessageW(hwnd(), TCM_GETITEMW, item.itemID, reinterpret_cast<LPARAM>(&tab));
  RECT area = item.rcItem;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, kTabText);
  DrawTextW(item.hDC, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
