// A message area that shows its text centred, white on black, in the
// largest font height up to a maximum at which the whole text fits.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/owner_drawn_control_win.h"

class SimpleBlitEdit : public OwnerDrawnControl {
 public:
  void SetText(std::u16string_view text, int maxFontHeight);

 protected:
  void Draw(const DRAWITEMSTRUCT& item) override;

 private:
  std::u16string text_;
  int maxFontHeight_ = 20;
};
