// Prompts through the system's message box (stand-in until the prompt
// dialogs exist).
#pragma once

#include "toolkit/prompts.h"

class MessageBoxPrompts : public Prompts {
 public:
  std::u16string PromptChoices(std::u16string_view message, std::span<const PromptChoice> choices,
                               int fontHeight) override;
  bool PromptForText(std::u16string* destination, const TextPromptTexts& texts) override;
};
