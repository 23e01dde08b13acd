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
};
