#include "settings_ui/list_selection.h"

#include <algorithm>

#include "base/text.h"

void ListSelection::AddItem(std::u16string_view text, bool allowDuplicates) {
  const std::u16string item = TrimBlanks(text);
  if (item.empty()) {
    return;
  }
  if (!allowDuplicates &&
      std::any_of(items_.begin(), items_.end(),
                  [&](const std::u16string& existing) { return EqualsNoCase(existing, item); })) {
    return;
  }
  items_.push_back(item);
}

int ListSelection::LineAbove(int current, int count) {
  if (count <= 0) {
    return -1;
  }
  return current <= 0 ? 0 : std::min(current, count) - 1;
}

int ListSelection::LineBelow(int current, int count) {
  if (count <= 0) {
    return -1;
  }
  if (current < 0) {
    return std::min(1, count - 1);
  }
  return std::min(current + 1, count - 1);
}

std::optional<std::u16string> ListSelection::Choose(int lineCount, int selected,
                                                    std::u16string_view selectedText) {
  if (lineCount == 0) {
    return std::u16string();
  }
  if (selected < 0 || selectedText.empty()) {
    return std::nullopt;
  }
  return std::u16string(selectedText);
}
