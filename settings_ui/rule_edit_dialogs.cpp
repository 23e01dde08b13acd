#include "settings_ui/rule_edit_dialogs.h"

#include "base/text.h"

std::u16string BulkPriorityErrors(std::u16string_view from, std::u16string_view to) {
  const std::u16string fromText = TrimBlanks(from);
  const std::u16string toText = TrimBlanks(to);
  std::u16string errors;
  const auto add = [&errors](std::u16string_view text) {
    if (!errors.empty()) {
      errors += u"\r\n";
    }
    errors += text;
  };
  const bool fromValid = IsAllDigits(fromText);
  const bool toValid = IsAllDigits(toText);
  if (!fromValid) {
    add(u"\"FROM\" field must be a positive integer >= 0");
  }
  if (!toValid) {
    add(u"\"TO\" field must be a positive integer >= 0");
  }
  if (fromValid && toValid && ParseDecimal(fromText) == ParseDecimal(toText)) {
    add(u"\"FROM\" and \"TO\" fields must be different");
  }
  return errors;
}
