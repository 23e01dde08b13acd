// Spreads a row of buttons across the full width of their parent.
#pragma once

#include <vector>

struct RowSlot {
  int x;
  int width;
};

// Slots for count controls across width: each starts where a float
// accumulator of width / count steps left off, truncated, so the slots
// touch and the last one ends at the right edge.
std::vector<RowSlot> SpreadAcross(int width, int count);

// The row's top and height: the given values when 0 or more, else the
// smallest top and the largest height of the controls.
struct RowBand {
  int top;
  int height;
};
RowBand ChooseRowBand(int top, int height, int smallestTop, int largestHeight);
