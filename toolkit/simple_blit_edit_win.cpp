#include "toolkit/simple_blit_edit_win.h"

#include "base/wide_win.h"
#include "toolkit/gdi_font_win.h"

namespace {

constexpr int kSmallestFontHeight = 6;
constexpr UINT kTextFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

void SimpleBlitEdit::SetText(std::u16string_view text, int maxFontHeight) {
  text_ = text;
  maxFontHeight_ = maxFontHeight;
  if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

void SimpleBlitEdit::SetColors(COLORREF text, COLORREF face) {
  textColor_ = text;
  faceColor_ = face;
  if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, TRUE);
  }
}

void SimpleBlitEdit::Draw(const DRAWITEMSTRUCT& item) {
  const RECT area = item.rcItem;
  HBRUSH face = CreateSolidBrush(faceColor_);
  FillRect(item.hDC, &area, face);
  DeleteObject(face);
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;

  // The largest height whose wrapped text fits the area.
  GDIFont font;
  RECT measured{};
  for (int fontHeight = maxFontHeight_; fontHeight >= kSmallestFontHeight; --fontHeight) {
    if (!font.Create(kMessageFaces, fontHeight)) {
      break;
    }
    HGDIOBJ old = SelectObject(item.hDC, font.handle());
    measured = RECT{0, 0, width, 0};
    DrawTextW(item.hDC, AsWide(text_), -1, &measured, kTextFormat | DT_CALCRECT);
    SelectObject(item.hDC, old);
    if (measured.right <= width && measured.bottom <= height) {
      break;
    }
  }
  HGDIOBJ old = font.handle() ? SelectObject(item.hDC, font.handle()) : nullptr;
  const int textHeight = measured.bottom - measured.top;
  RECT target{area.left, area.top + (height - textHeight) / 2, area.right, area.bottom};
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, textColor_);
  DrawTextW(item.hDC, AsWide(text_), -1, &target, kTextFormat);
  if (old) {
    SelectObject(item.hDC, old);
  }
}
