// What one run of a choice prompt holds: the captions and message it shows
// and the caption of the pressed button. The shown texts are wiped once the
// prompt has rendered them; the answer outlives the run, so a prompt closed
// without a press answers what the object answered before.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "toolkit/prompts.h"

class PromptSession {
 public:
  // One or two choices; further ones are ignored.
  void Prepare(std::u16string_view message, std::span<const PromptChoice> choices);
  // The number of choices of the current run: 0, 1 or 2.
  int mode() const { return mode_; }
  const std::u16string& caption(int index) const { return index == 0 ? caption1_ : caption2_; }
  const ChoiceColors& colors(int index) const { return index == 0 ? colors1_ : colors2_; }
  const std::u16string& message() const { return message_; }
  // Wipes the captions and the message once they are on screen.
  void WipeShownTexts();
  // The user pressed a button showing this caption.
  void Press(std::u16string_view buttonCaption) { result_ = buttonCaption; }
  const std::u16string& result() const { return result_; }

 private:
  int mode_ = 0;
  std::u16string caption1_;
  std::u16string caption2_;
  std::u16string message_;
  ChoiceColors colors1_{};
  ChoiceColors colors2_{};
  std::u16string result_;
};
