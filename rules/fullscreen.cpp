#include "rules/fullscreen.h"

#include <cstdint>
#include <optional>

#include "app/log.h"

namespace {

// What a rectangle reads as when it was never filled in; a real area of
// exactly this size is treated the same.
constexpr ScreenRect kUnreadRect{0, 0, 1, 1};

constexpr std::int64_t kInward = 8;
constexpr std::int64_t kOutward = 30;
// Windows that keep their title bar above the monitor still count.
constexpr std::int64_t kOutwardTop = kOutward + 80;

bool Within(std::int64_t value, std::int64_t low, std::int64_t high) {
  return low <= value && value <= high;
}

}  // namespace

bool IsFullscreenWindow(Desktop& desktop, WindowId window, std::u16string_view fileName) {
  if (window == 0 || !desktop.IsWindow(window)) {
    return false;
  }
  ScreenRect windowRect = kUnreadRect;
  ScreenRect clientRect = kUnreadRect;
  bool failed = true;
  if (const std::optional<ScreenRect> rect = desktop.WindowRect(window)) {
    windowRect = *rect;
    failed = false;
  }
  if (const std::optional<ScreenRect> rect = desktop.ClientRectOnScreen(window)) {
    clientRect = *rect;
    failed = false;
  }
  if (failed) {
    return false;
  }
  ScreenRect r = clientRect;
  if (r == kUnreadRect) {
    if (windowRect == kUnreadRect) {
      return false;
    }
    r = windowRect;
  }

  // 64-bit so that extreme coordinates cannot overflow; the centre itself lies
  // between the edges and fits again.
  const std::int64_t left = r.left;
  const std::int64_t top = r.top;
  const std::int64_t right = r.right;
  const std::int64_t bottom = r.bottom;
  const auto centreX = static_cast<std::int32_t>(left + (right - left) / 2);
  const auto centreY = static_cast<std::int32_t>(top + (bottom - top) / 2);
  const std::optional<ScreenRect> monitor = desktop.MonitorRectNear(centreX, centreY);
  if (!monitor) {
    LogFormat(u"ERROR: Failed to query closest monitor -- \"%s\"", fileName);
    return false;
  }
  const std::int64_t mLeft = monitor->left;
  const std::int64_t mTop = monitor->top;
  const std::int64_t mRight = monitor->right;
  const std::int64_t mBottom = monitor->bottom;
  return Within(left, mLeft - kOutward, mLeft + kInward) &&
         Within(top, mTop - kOutwardTop, mTop + kInward) &&
         Within(right, mRight - kInward, mRight + kOutward) &&
         Within(bottom, mBottom - kInward, mBottom + kOutward);
}
