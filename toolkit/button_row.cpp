#include "toolkit/button_row.h"

std::vector<RowSlot> SpreadAcross(int width, int count) {
  std::vector<RowSlot> slots;
  if (count <= 0) {
    return slots;
  }
  const float share = static_cast<float>(width) / static_cast<float>(count);
  float accumulator = 0.0f;
  for (int i = 0; i < count; ++i) {
    const int x = static_cast<int>(accumulator);
    accumulator += share;
    slots.push_back({x, static_cast<int>(accumulator) - x});
  }
  return slots;
}

RowBand ChooseRowBand(int top, int height, int smallestTop, int largestHeight) {
  return {top >= 0 ? top : smallestTop, height >= 0 ? height : largestHeight};
}
