// Prompts through the system message box, until the program's own prompt
// dialogs take their place.
#pragma once

#include "toolkit/prompts.h"

class MessageBoxPrompts : public Prompts {
 public:
  std::u16string PromptOk(std::u16string_view message) override;
  void ShowMessage(std::u16string_view message) override;
};
