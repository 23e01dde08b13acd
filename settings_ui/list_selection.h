// What the list picker holds and how its keys move: the items in insertion
// order (trimmed, no empties, duplicates only when allowed) and the line a
// key or a choice leads to.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ListSelection {
 public:
  void SetSelectionTitle(std::u16string_view title) { title_ = title; }
  const std::u16string& title() const { return title_; }
  // Duplicates compare without regard to ASCII letter case.
  void AddItem(std::u16string_view text, bool allowDuplicates = false);
  const std::vector<std::u16string>& items() const { return items_; }

  // The line Up or Down selects from the current one (-1 for none) in a
  // list of count lines.
  static int LineAbove(int current, int count);
  static int LineBelow(int current, int count);

  // What choosing gives: nothing (the picker stays open), or the result it
  // ends with. A list without lines ends with an empty result.
  static std::optional<std::u16string> Choose(int lineCount, int selected,
                                              std::u16string_view selectedText);

 private:
  std::u16string title_;
  std::vector<std::u16string> items_;
};
