// Vertical scrolling of a settings page whose content is taller than the
// window: the scroll bar's extent, page and position, and the steps of the
// scroll bar and the mouse wheel. Positions are pixels from the content top.
#pragma once

#include <cstdint>

class PageScroll {
 public:
  static constexpr int kLineStep = 60;
  static constexpr int kWheelDelta = 120;
  // The system's wheel setting that asks for page scrolling (WHEEL_PAGESCROLL).
  static constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFFu;

  // A size change: scrolls only while the client is shorter than a known
  // content height (0 = not known yet). Returns how far the content moved
  // (old position minus new), to be passed on to the window's scrolling.
  int Resize(int contentHeight, int clientHeight);

  // Scroll bar requests. Each returns how far the content moved.
  int LineUp() { return ScrollTo(position_ - kLineStep); }
  int LineDown() { return ScrollTo(position_ + kLineStep); }
  int PageUp() { return ScrollTo(position_ - page_); }
  int PageDown() { return ScrollTo(position_ + page_); }
  int ThumbTo(int position) { return ScrollTo(position); }
  // A wheel turn of delta (positive away from the user, 120 a notch) with
  // the system's lines-per-notch setting. Does nothing without a range.
  int Wheel(int delta, std::uint32_t linesPerNotch);

  bool HasRange() const { return extent_ > 0; }
  // The scroll bar: 0 to extent with a page of the client height (both 0
  // when the page does not scroll).
  int Extent() const { return extent_; }
  int Page() const { return page_; }
  int Position() const { return position_; }

 private:
  int ScrollTo(int position);

  int extent_ = 0;
  int page_ = 0;
  int position_ = 0;
};
