#include "toolkit/message_box_prompts_win.h"

#include <windows.h>

#include "base/wide_win.h"
#include "base/wipe.h"

namespace {

void ShowBox(std::u16string_view message) {
  std::u16string text(message);
  MessageBoxW(nullptr, AsWide(text), L"Vantreloquin", MB_OK | MB_SETFOREGROUND);
  Wipe(text);
}

}  // namespace

std::u16string MessageBoxPrompts::PromptOk(std::u16string_view message) {
  ShowBox(message);
  return u"OK";
}

void MessageBoxPrompts::ShowMessage(std::u16string_view message) {
  ShowBox(message);
}

std::u16string MessageBoxPrompts::PromptTwo(std::u16string_view caption1,
                                            std::u16string_view caption2,
                                            std::u16string_view message) {
  std::u16string text(message);
  const int answer =
      MessageBoxW(nullptr, AsWide(text), L"Vantreloquin", MB_YESNO | MB_SETFOREGROUND);
  Wipe(text);
  if (answer == 0) {
    return {};
  }
  return std::u16string(answer == IDYES ? caption2 : caption1);
}
