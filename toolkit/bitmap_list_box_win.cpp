#include "toolkit/bitmap_list_box_win.h"

#include "base/wide_win.h"

namespace {

constexpr UINT kItemHeight = 20;

}  // namespace

CBitmapListBox::~CBitmapListBox() {
  if (faceBrush_) {
    DeleteObject(faceBrush_);
  }
}

void CBitmapListBox::SetColors(COLORREF text, COLORREF face) {
  text_ = text;
  face_ = face;
  if (faceBrush_) {
    DeleteObject(faceBrush_);
    faceBrush_ = nullptr;
  }
  if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

HBRUSH CBitmapListBox::FaceBrush() {
  if (!faceBrush_) {
    faceBrush_ = CreateSolidBrush(face_);
  }
  return faceBrush_;
}

int CBitmapListBox::Count() const {
  return hwnd() ? static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0)) : 0;
}

std::u16string CBitmapListBox::Text(int index) const {
  const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) {
    return {};
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return FromWide(text);
}

int CBitmapListBox::CurrentIndex() const {
  if (!hwnd()) {
    return -1;
  }
  const LRESULT current = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  return current == LB_ERR ? -1 : static_cast<int>(current);
}

std::u16string CBitmapListBox::CurrentText() const {
  const int current = CurrentIndex();
  return current < 0 || Count() == 0 ? std::u16string() : Text(current);
}

void CBitmapListBox::SetCurrentIndex(int index) {
  SendMessageW(hwnd(), LB_SETCURSEL, index, 0);
}

void CBitmapListBox::SetTexts(const std::vector<std::u16string>& texts) {
  const int current = CurrentIndex();
  SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
  const int wanted = static_cast<int>(texts.size());
  while (Count() > wanted) {
    SendMessageW(hwnd(), LB_DELETESTRING, Count() - 1, 0);
  }
  for (int i = 0; i < wanted; ++i) {
    const std::u16string& text = texts[static_cast<std::size_t>(i)];
    if (i < Count()) {
      if (Text(i) == text) {
        continue;
      }
      SendMessageW(hwnd(), LB_DELETESTRING, i, 0);
    }
    SendMessageW(hwnd(), LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(AsWide(text)));
  }
  if (current >= 0 && current < Count()) {
    SetCurrentIndex(current);
  }
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CBitmapListBox::Append(std::u16string_view text) {
  const std::u16string copy(text);
  SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(copy)));
}

void CBitmapListBox::DeleteFirst() {
  SendMessageW(hwnd(), LB_DELETESTRING, 0, 0);
}

void CBitmapListBox::Measure(MEASUREITEMSTRUCT& item) {
  item.itemHeight = kItemHeight;
}

void CBitmapListBox::Draw(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) {
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  // The current entry shows in swapped colours.
  HBRUSH face = CreateSolidBrush(selected ? text_ : face_);
  FillRect(item.hDC, &item.rcItem, face);
  DeleteObject(face);
  const std::u16string text = Text(static_cast<int>(item.itemID));
  RECT area = item.rcItem;
  area.left += 4;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, selected ? face_ : text_);
  DrawTextW(item.hDC, AsWide(text), -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) {
    DrawFocusRect(item.hDC, &item.rcItem);
  }
}
