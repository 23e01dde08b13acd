#include "toolkit/prompt_layout.h"

#include <algorithm>

PromptGeometry PlacePrompt(int measuredWidth, int measuredHeight, const AnchorRect& anchor) {
  PromptGeometry geometry{};
  geometry.messageWidth = std::max(measuredWidth, kPromptMinimumWidth);
  geometry.messageHeight = std::max(measuredHeight, kPromptMinimumMessageHeight);
  geometry.clientWidth = geometry.messageWidth;
  geometry.clientHeight = geometry.messageHeight + kPromptButtonRowHeight;
  const int anchorWidth = anchor.right - anchor.left;
  const int anchorHeight = anchor.bottom - anchor.top;
  // Integer halvings truncate toward zero.
  geometry.x = anchor.left + anchorWidth / 2 - geometry.clientWidth / 2;
  geometry.y = anchor.top + anchorHeight / 2 - geometry.clientHeight / 2;
  return geometry;
}
