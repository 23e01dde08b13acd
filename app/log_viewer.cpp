#include "app/log_viewer.h"

#include "base/text.h"

LogFollowMode DecideFollowMode(int selection, int lineCount) {
  if (selection == 0) {
    return LogFollowMode::Top;
  }
  return lineCount == selection + 1 ? LogFollowMode::Tail : LogFollowMode::None;
}

std::string EncodeSavedLog(const std::vector<std::u16string>& lines) {
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      text += u"\r\n";
    }
    text += lines[i];
  }
  return Utf16LeWithMark(text);
}
