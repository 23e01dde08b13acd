#include "toolkit/dialog_prompts_win.h"

#include "toolkit/edit_prompt_dialog_win.h"
#include "toolkit/prompt_dialog_win.h"

std::u16string DialogPrompts::PromptChoices(std::u16string_view message,
                                            std::span<const PromptChoice> choices, int fontHeight) {
  CPromptDlg prompt(owner_);
  if (choices.size() >= 2) {
    return prompt.PromptTwo(choices[0].caption, choices[1].caption, message, choices[0].colors.text,
                            choices[0].colors.face, choices[1].colors.text, choices[1].colors.face,
                            fontHeight);
  }
  if (choices.size() == 1) {
    return prompt.PromptOne(choices[0].caption, message, choices[0].colors.text,
                            choices[0].colors.face, fontHeight);
  }
  return {};
}

bool DialogPrompts::PromptForText(std::u16string* destination, const TextPromptTexts& texts) {
  CEditPromptDlg prompt(owner_);
  return prompt.PromptForText(destination, texts);
}
