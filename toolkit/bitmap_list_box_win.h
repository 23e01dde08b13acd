// An owner-drawn list box in its own text and face colours. Entries are
// plain texts; the list keeps its current entry by position.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "toolkit/owner_drawn_control_win.h"

class CBitmapListBox : public OwnerDrawnControl {
 public:
  ~CBitmapListBox() override;

  void SetColors(COLORREF text, COLORREF face);
  // The brush the dialog answers WM_CTLCOLORLISTBOX with for this list.
  HBRUSH FaceBrush();

  int Count() const;
  std::u16string Text(int index) const;
  // The current entry's text, or empty when there is none.
  std::u16string CurrentText() const;
  int CurrentIndex() const;
  void SetCurrentIndex(int index);
  // Makes the entries equal to the texts, in order, keeping the current
  // entry's position while the list still has it.
  void SetTexts(const std::vector<std::u16string>& texts);
  void Append(std::u16string_view text);
  void DeleteFirst();

 protected:
  void Draw(const DRAWITEMSTRUCT& item) override;
  void Measure(MEASUREITEMSTRUCT& item) override;

 private:
  COLORREF text_ = RGB(0, 255, 0);
  COLORREF face_ = RGB(50, 50, 50);
  HBRUSH faceBrush_ = nullptr;
};
