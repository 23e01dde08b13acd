#include "toolkit/message_box_prompts_win.h"

#include <windows.h>

#include "base/wide_win.h"
#include "base/wipe.h"

std::u16string MessageBoxPrompts::PromptChoices(std::u16string_view message,
                                                std::span<const PromptChoice> choices, int) {
  std::u16string text(message);
  const UINT buttons = choices.size() == 2 ? MB_YESNO : MB_OK;
  const int answer =
      MessageBoxW(nullptr, AsWide(text), L"Vantreloquin", buttons | MB_SETFOREGROUND);
  Wipe(text);
  if (answer == 0 || choices.empty()) {
    return {};
  }
  return std::u16string(choices.size() == 2 && answer == IDYES ? choices[1].caption
                                                               : choices[0].caption);
}

bool MessageBoxPrompts::PromptForText(std::u16string*, const TextPromptTexts&) {
  return false;
}
