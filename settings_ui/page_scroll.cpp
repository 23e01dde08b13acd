#include "settings_ui/page_scroll.h"

#include <algorithm>
#include <cstdlib>

int PageScroll::Resize(int contentHeight, int clientHeight) {
  if (contentHeight > 0 && clientHeight < contentHeight) {
    extent_ = contentHeight;
    page_ = std::max(clientHeight, 0);
  } else {
    extent_ = 0;
    page_ = 0;
  }
  // A taller window may leave the old position beyond the new range.
  return ScrollTo(position_);
}

int PageScroll::Wheel(int delta, std::uint32_t linesPerNotch) {
  if (!HasRange() || delta == 0) {
    return 0;
  }
  const bool up = delta > 0;
  if (linesPerNotch == kWheelPageScroll) {
    return up ? PageUp() : PageDown();
  }
  const long long notches = std::llabs(static_cast<long long>(delta)) / kWheelDelta;
  const long long lines = static_cast<long long>(linesPerNotch) * notches / 3;
  // Bounded by the extent, so the product below cannot overflow.
  const long long steps = std::clamp(lines, 1LL, static_cast<long long>(extent_));
  const int distance = static_cast<int>(steps * kLineStep);
  return ScrollTo(up ? position_ - distance : position_ + distance);
}

int PageScroll::ScrollTo(int position) {
  const int highest = std::max(extent_ - page_, 0);
  const int clamped = std::clamp(position, 0, highest);
  const int moved = position_ - clamped;
  position_ = clamped;
  return moved;
}
