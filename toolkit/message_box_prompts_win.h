// Prompts through the system message box, until the program's own prompt
// dialogs take their place.
#pragma once

#include "toolkit/prompts.h"

class MessageBoxPrompts : public Prompts {
 public:
  std::u16string PromptOk(std::u16string_view message) override;
  void ShowMessage(std::u16string_view message) override;
  // The first caption stands for "No", the second for "Yes".
  std::u16string PromptTwo(std::u16string_view caption1, std::u16string_view caption2,
                           std::u16string_view message) override;
};
