// The program's prompts as dialogs: a fresh prompt object for every question.
#pragma once

#include <windows.h>

#include "toolkit/prompts.h"

class DialogPrompts : public Prompts {
 public:
  // Prompts are owned by the window (centred on it), or by none (centred on
  // the monitor under the mouse).
  explicit DialogPrompts(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  std::u16string PromptChoices(std::u16string_view message, std::span<const PromptChoice> choices,
                               int fontHeight) override;
  bool PromptForText(std::u16string* destination, const TextPromptTexts& texts) override;

 private:
  HWND owner_;
};
