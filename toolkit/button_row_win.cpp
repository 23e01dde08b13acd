#include "toolkit/button_row_win.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "toolkit/button_row.h"

void LayoutButtonRow(HWND parent, int top, int height, std::initializer_list<HWND> controls) {
  int smallestTop = INT_MAX;
  int largestHeight = 0;
  for (HWND control : controls) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    smallestTop = std::min(smallestTop, static_cast<int>(rect.top));
    largestHeight = std::max(largestHeight, static_cast<int>(rect.bottom - rect.top));
  }
  const RowBand band = ChooseRowBand(top, height, smallestTop, largestHeight);
  RECT client{};
  GetClientRect(parent, &client);
  const std::vector<RowSlot> slots =
      SpreadAcross(client.right - client.left, static_cast<int>(controls.size()));
  std::size_t index = 0;
  for (HWND control : controls) {
    const RowSlot& slot = slots[index++];
    MoveWindow(control, slot.x, band.top, slot.width, band.height, TRUE);
  }
}
