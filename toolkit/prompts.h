// How the program asks and tells the user. Dialogs implement it on Windows;
// tests script the answers.
#pragma once

#include <string>
#include <string_view>

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Shows the message with one button labelled "OK"; returns its caption.
  virtual std::u16string PromptOk(std::u16string_view message) = 0;
  virtual void ShowMessage(std::u16string_view message) = 0;
  // Shows the message with two buttons; returns the caption of the chosen
  // one (empty when the prompt could not be shown).
  virtual std::u16string PromptTwo(std::u16string_view caption1, std::u16string_view caption2,
                                   std::u16string_view message) = 0;
};
