#include "toolkit/owner_drawn_control_win.h"

namespace {

constexpr wchar_t kOwnerProperty[] = L"VantreloquinOwnerDrawn";

}  // namespace

OwnerDrawnControl::~OwnerDrawnControl() {
  Detach();
}

bool OwnerDrawnControl::Attach(HWND dialog, int controlId) {
  Detach();
  control_ = GetDlgItem(dialog, controlId);
  if (!control_) {
    return false;
  }
  SetPropW(control_, kOwnerProperty, this);
  return true;
}

void OwnerDrawnControl::Detach() {
  if (control_ && IsWindow(control_)) {
    RemovePropW(control_, kOwnerProperty);
  }
  control_ = nullptr;
}

bool OwnerDrawnControl::DrawOwnerDrawn(const DRAWITEMSTRUCT& item) {
  auto* owner = static_cast<OwnerDrawnControl*>(GetPropW(item.hwndItem, kOwnerProperty));
  if (!owner) {
    return false;
  }
  owner->Draw(item);
  return true;
}

bool OwnerDrawnControl::MeasureOwnerDrawn(HWND dialog, MEASUREITEMSTRUCT& item) {
  HWND control = GetDlgItem(dialog, static_cast<int>(item.CtlID));
  auto* owner =
      control ? static_cast<OwnerDrawnControl*>(GetPropW(control, kOwnerProperty)) : nullptr;
  if (!owner) {
    return false;
  }
  owner->Measure(item);
  return true;
}
