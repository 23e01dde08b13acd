#include "toolkit/prompt_session.h"

#include "base/wipe.h"

void PromptSession::Prepare(std::u16string_view message, std::span<const PromptChoice> choices) {
  mode_ = choices.size() >= 2 ? 2 : static_cast<int>(choices.size());
  caption1_ = mode_ >= 1 ? choices[0].caption : std::u16string_view();
  caption2_ = mode_ == 2 ? choices[1].caption : std::u16string_view();
  colors1_ = mode_ >= 1 ? choices[0].colors : ChoiceColors{};
  colors2_ = mode_ == 2 ? choices[1].colors : ChoiceColors{};
  message_ = message;
}

void PromptSession::WipeShownTexts() {
  Wipe(caption1_);
  Wipe(caption2_);
  Wipe(message_);
}
