// Opens the list picker: a title and items; the chosen item, or empty when
// the user cancelled. The dialog on Windows, a script in tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class ListPicker {
 public:
  virtual ~ListPicker() = default;
  virtual std::u16string PickFromList(std::u16string_view title,
                                      const std::vector<std::u16string>& items) = 0;
};
