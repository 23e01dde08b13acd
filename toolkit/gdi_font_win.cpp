#include "toolkit/gdi_font_win.h"

bool GDIFont::Create(std::initializer_list<const wchar_t*> faces, int cellHeight, int weight) {
  Reset();
  for (const wchar_t* face : faces) {
    font_ = CreateFontW(cellHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face);
    if (font_) {
      return true;
    }
  }
  return false;
}

void GDIFont::Reset() {
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}
