// A control that its dialog draws (owner-drawn buttons and statics). The
// control window points back at its object, so a dialog forwards
// WM_DRAWITEM without knowing which controls it has.
#pragma once

#include <windows.h>

class OwnerDrawnControl {
 public:
  OwnerDrawnControl() = default;
  virtual ~OwnerDrawnControl();
  OwnerDrawnControl(const OwnerDrawnControl&) = delete;
  OwnerDrawnControl& operator=(const OwnerDrawnControl&) = delete;

  // Binds to the dialog's control with this identifier; false when there is none.
  bool Attach(HWND dialog, int controlId);
  void Detach();
  HWND hwnd() const { return control_; }

  // Draws the item when its control belongs to an OwnerDrawnControl.
  static bool DrawOwnerDrawn(const DRAWITEMSTRUCT& item);
  // Measures an item of the dialog's control when it is an OwnerDrawnControl.
  static bool MeasureOwnerDrawn(HWND dialog, MEASUREITEMSTRUCT& item);

 protected:
  virtual void Draw(const DRAWITEMSTRUCT& item) = 0;
  // Items of variable height (list boxes) say how high they are.
  virtual void Measure(MEASUREITEMSTRUCT&) {}

 private:
  HWND control_ = nullptr;
};
