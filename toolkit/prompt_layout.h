// Where a prompt goes and how big it is: the rendered message on top, a
// 30-pixel row of buttons below, centred on its anchor (the owner window,
// or the monitor under the mouse).
#pragma once

struct AnchorRect {
  int left;
  int top;
  int right;
  int bottom;
};

struct PromptGeometry {
  int messageWidth;   // of the black message area (and its bitmap)
  int messageHeight;  // also the top of the button row
  int clientWidth;
  int clientHeight;
  int x;  // window position
  int y;
};

inline constexpr int kPromptMinimumWidth = 200;
inline constexpr int kPromptMinimumMessageHeight = 50;
inline constexpr int kPromptButtonRowHeight = 30;

PromptGeometry PlacePrompt(int measuredWidth, int measuredHeight, const AnchorRect& anchor);
