// A GDI font owned by this object: the first of the given faces that the
// system creates, at a pixel cell height.
#pragma once

#include <windows.h>

#include <initializer_list>

// The faces the program draws its texts in, in order of preference.
inline constexpr std::initializer_list<const wchar_t*> kMessageFaces = {L"Lucida Sans Unicode",
                                                                        L"Arial Unicode MS"};

class GDIFont {
 public:
  GDIFont() = default;
  ~GDIFont() { Reset(); }
  GDIFont(const GDIFont&) = delete;
  GDIFont& operator=(const GDIFont&) = delete;

  // False when no face could be created; the font is then empty.
  bool Create(std::initializer_list<const wchar_t*> faces, int cellHeight, int weight = FW_NORMAL);
  void Reset();
  HFONT handle() const { return font_; }

 private:
  HFONT font_ = nullptr;
};
