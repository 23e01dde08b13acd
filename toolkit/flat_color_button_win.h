// An owner-drawn push button in one flat face colour with its own text
// colour, and a hover tooltip of its own. Its caption is the window text,
// so it reads back exactly as set.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/owner_drawn_control_win.h"

class CFlatColorButton : public OwnerDrawnControl {
 public:
  ~CFlatColorButton() override;

  void SetColors(COLORREF text, COLORREF face);
  void SetCaption(std::u16string_view caption);
  std::u16string Caption() const;
  void SetToolTip(std::u16string_view text);
  // A check box look: a box before the caption, ticked while checked. The
  // button never ticks itself; its owner sets the state.
  void SetCheckBox(bool isCheckBox);
  void SetCheck(bool checked);
  bool GetCheck() const { return checked_; }

 protected:
  void Draw(const DRAWITEMSTRUCT& item) override;

 private:
  COLORREF text_ = RGB(0, 0, 0);
  COLORREF face_ = RGB(192, 192, 192);
  HWND tooltip_ = nullptr;
  bool isCheckBox_ = false;
  bool checked_ = false;
  std::u16string tipText_;
};
