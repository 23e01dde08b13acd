// A message area that shows its text centred (white on black unless told
// otherwise), in the largest font height up to a maximum at which the whole
// text fits.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/owner_drawn_control_win.h"

class SimpleBlitEdit : public OwnerDrawnControl {
 public:
  void SetText(std::u16string_view text, int maxFontHeight);
  void SetColors(COLORREF text, COLORREF face);

 protected:
  void Draw(const DRAWITEMSTRUCT& item) override;

 private:
  std::u16string text_;
  int maxFontHeight_ = 20;
  COLORREF textColor_ = RGB(255, 255, 255);
  COLORREF faceColor_ = RGB(0, 0, 0);
};
