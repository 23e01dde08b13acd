// An owner-drawn tab control: each tab in flat colours, the chosen one
// lighter.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/owner_drawn_control_win.h"

class CEnTabCtrl : public OwnerDrawnControl {
 public:
  void InsertTab(int index, std::u16string_view text);
  int TabCount() const;
  void Select(int index);
  int Selected() const;
  int Focused() const;
  // The area the pages use inside the control's window rectangle, in the
  // parent's client coordinates.
  RECT PageArea(HWND parent) const;

 protected:
  void Draw(const DRAWITEMSTRUCT& item) override;
};
